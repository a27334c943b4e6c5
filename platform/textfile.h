#pragma once
// Whole-file text in the program's code page.
//
// Every text file of the program (option.ini, favorite.ini, fenli.ini, template.ini, flash.ini,
// stored portal pages) is GBK. We decode with GB18030, a strict superset of GBK, so every GBK file
// reads exactly as GBK does, and we encode with GB18030 so that a character the user types that
// GBK lacks is written back faithfully instead of turning into "?".
//
// Writes are atomic: the new content goes to a temporary file that replaces the old one by a
// rename only when it was written completely. A failed write leaves the old file untouched and
// reports the failure to the caller.

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

namespace mz {

QString decodeAnsi(QByteArrayView bytes);
QByteArray encodeAnsi(QStringView text);

// The length of the byte order mark an editor may put at the start of a text file (UTF-8's, or
// GB18030's own encoding of U+FEFF), or 0 when there is none. The mark belongs to no line: left in
// the first line it hides a section header there, and a rewrite would then append a second one.
qsizetype byteOrderMarkLength(QByteArrayView bytes);

// Why a file of the program folder was not read.
enum class ReadProblem {
    None,
    Missing,    // no such file
    NotAFile,   // a folder, a FIFO, a device or a socket bears the name
    TooLarge,   // more bytes than the reader takes
    Unreadable, // no permission, or the read failed
};

// Opens `path` for reading only when it is a regular file (a link to one counts). A FIFO would
// hold the open until some writer came, and a device or a folder has no end a whole-file read
// could reach: the window would freeze. Resource paths (":/...") open as they are.
bool openRegularFile(QFile &file, const QString &path, ReadProblem *problem = nullptr);

// Reads the whole file as bytes; nullopt when it is missing, not a regular file or unreadable, or
// when it holds more than `maxBytes` bytes (a negative limit reads a file of any size). *problem
// says which.
std::optional<QByteArray> readFileBytes(const QString &path, qint64 maxBytes = -1,
                                        ReadProblem *problem = nullptr);
// Reads and decodes the whole file; nullopt as readFileBytes gives it.
std::optional<QString> readTextFile(const QString &path, qint64 maxBytes = -1,
                                    ReadProblem *problem = nullptr);

// Why a read failed, as a phrase to follow the file's name in a message ("不是普通文件",
// "过大（超过 4 MB）", ...); `maxBytes` is the limit the read had.
QString readProblemText(ReadProblem problem, qint64 maxBytes = -1);

// Replaces the file's content atomically. Returns false (and fills *error) on failure.
bool writeFileBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
bool writeTextFile(const QString &path, QStringView text, QString *error = nullptr);

} // namespace mz
