#pragma once
// Profile files (favorite.ini, flash.ini): "[section]" headers and "key=value" lines, GBK text.
//
// Behaves like the Windows profile functions the files were made for:
// - section and key names are compared without regard to ASCII case and surrounding blanks;
// - writing replaces an existing key's value in place, appends a new key at the end of its
//   section, and creates the section (at the end of the file) or the file when missing;
// - every line the write does not change stays byte for byte as it was;
// - reading returns the value without surrounding blanks (and without one pair of enclosing
//   quotes), or the default when the file, the section or the key is missing.
// A byte order mark at the start of the file (UTF-8's, or GB18030's) is not part of the first
// line, and a write keeps it where it is.
// Writes are atomic; a failed write leaves the old file and returns false.
// A write is refused (false, with the reason in *error, nothing written) when the file exists but
// cannot be read, when the section holds a line break or "]", when the key holds a line break or
// "=" or starts with "[", and when the value holds a line break.
// A file larger than kMaxProfileFileBytes is not read (reads give the default) and not
// rewritten, and a write that would take a file past it is refused: a settings file that large
// is none the program wrote, and reading it whole would hold up the window.

#include <QString>

namespace mz {

inline constexpr qint64 kMaxProfileFileBytes = 4 * 1024 * 1024;

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue = QString());
bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *error = nullptr);

} // namespace mz
