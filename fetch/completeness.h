#pragma once
// The page completeness test: a stored portal page is complete when it contains "</html>" in any
// mix of ASCII letter cases.
//
// The test works on the raw bytes. "</html>" is ASCII, and neither "<" nor "/" can be a trail byte
// of a GBK or GB18030 character (trail bytes are 0x30-0x39 or 0x40-0xFE), so the bytes hold
// "</html>" case-insensitively exactly when the text decoded from the program's code page,
// lower-cased, holds "</html>". No decoding is needed, and the search runs from the end, where
// the tag sits in a complete page.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace mz {

bool isCompletePage(QByteArrayView bytes);
// A file that is missing or cannot be read is incomplete. Reads the file backwards in blocks and
// stops at the first hit, so a complete page costs one block, not the whole file.
bool isCompletePageFile(const QString &path);

// The same test for a body that arrives in pieces: feed every piece in order, then ask found().
// The tag may be split across pieces; the scanner keeps only the last few bytes it saw.
class PageEndScanner
{
public:
    void feed(QByteArrayView chunk);
    bool found() const { return m_found; }
    void reset() { *this = PageEndScanner(); }

private:
    bool m_found = false;
    QByteArray m_tail; // at most the tag's length minus one byte
};

} // namespace mz
