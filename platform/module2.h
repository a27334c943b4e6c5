#pragma once
// The small profile routines that flash.ini and favorite.ini are written with: a current file
// that each caller sets first, a read that fills a buffer of 0-separated pieces, a walk over the
// pieces, and a write of one key.

#include <QString>

namespace mz {

class Module2
{
public:
    // A read value longer than this is cut, as the buffer of the profile read would cut it.
    static constexpr qsizetype kBufferSize = 10240;

    void setCurrentFile(const QString &path) { m_file = path; }
    QString currentFile() const { return m_file; }

    // The key's value in the current file (empty when the file, section or key is missing).
    // Restarts the walk: the value is the buffer's first piece.
    QString readValue(const QString &section, const QString &key);

    // The text from the scan position up to the next character 0, and the position moved past
    // it; empty when that character is at the position or there is none left.
    QString nextPiece();

    // Writes key=value into the section of the current file, creating file, section or key.
    // False (with *error filled) when the file cannot be written; the file is unchanged then.
    bool writeValue(const QString &section, const QString &key, const QString &value,
                    QString *error = nullptr);

private:
    QString m_file;
    QString m_buffer;
    qsizetype m_scan = 0; // 0-based
};

} // namespace mz
