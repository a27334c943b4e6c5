#pragma once
// The lower-cased text of a page file, decoded block by block as a scan asks for it. Positions
// are 1-based over the whole text (0 = not found), as findFrom() and cutText() take them on a
// whole text, and the answers are the same; but only the text from the scan's floor onwards is
// held, with a copy of the first kHeadUnits units, so a large page never lives in memory whole.
//
// The scan moves the floor forward (raiseFloor) where it no longer needs the text behind; views
// into the held text stay valid until the buffer moves, which happens only while more text is
// decoded (find, cut, decodeUpTo), and the move handler is then told where it went.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace mz {

class PageTextStream
{
public:
    // The text's first units, kept whole: a cut that a scan takes from the start of the text
    // (when a marker before it is missing) is never longer than kMaxCutLength.
    static constexpr qsizetype kHeadUnits = 4096;

    // Decodes `file` (opened for reading, at its start) into `text` through `block`, both kept by
    // the caller from page to page so that their memory is reused. With `original`, the text as
    // it stands in the page (not lower-cased) is kept there too, unit for unit beside `text`
    // (GbkDecoder::decodeLoweredWithOriginal), for original().
    PageTextStream(QFile &file, QString &text, QByteArray &block, qsizetype blockBytes,
                   QString *original = nullptr);

    // Needles whose first occurrence in the whole text a search from position 1 may ask for; to
    // be registered before the first search. Returns the needle's number for firstSoFar().
    int registerNeedle(QStringView needle);

    // 1-based position of the first occurrence of `needle` at or after `from`; 0 when the text
    // has none. `from` is at or after the floor, or 1 for a registered needle.
    qsizetype find(QStringView needle, qsizetype from);
    // What cutText() gives on the whole text; `start` is at or after the floor, or the cut lies
    // within the first kHeadUnits units.
    std::optional<QStringView> cut(qsizetype start, qsizetype length);
    // 1-based position of the first occurrence of a registered needle in the text decoded so far;
    // 0 when there is none so far.
    qsizetype firstSoFar(QStringView needle) const;
    qsizetype firstSoFar(int needle) const { return m_needles[size_t(needle)].first; }

    // For a view into the text this stream gave (find, cut, heldFrom): the same units as they
    // stand in the page, when the stream keeps them; otherwise the view itself. Valid as long
    // as the view is, and moved along with it (the move handler is told of both texts).
    QStringView original(QStringView lowered) const;

    // Units before the 1-based position `position` are no longer needed.
    void raiseFloor(qsizetype position);
    // Called when the held text moves (while more is decoded), with where it was and where it
    // is now; the scan moves its views along with follow().
    using MoveHandler = std::function<void(const char16_t *oldBegin, const char16_t *oldEnd,
                                           const char16_t *newBegin)>;
    void onMove(MoveHandler handler) { m_onMove = std::move(handler); }
    // Moves `view` along when it lies in [oldBegin, oldEnd).
    static void follow(QStringView &view, const char16_t *oldBegin, const char16_t *oldEnd,
                       const char16_t *newBegin)
    {
        const char16_t *p = view.utf16();
        if (p >= oldBegin && p < oldEnd)
            view = QStringView(newBegin + (p - oldBegin), view.size());
    }

    // Decodes until position `units` (1-based) is held or the file ends; the units held so far.
    qsizetype decodeUpTo(qsizetype units);
    // The held text from the 1-based `position` to what is decoded so far.
    QStringView heldFrom(qsizetype position) const;
    // Units decoded so far, and the file bytes they came from.
    qsizetype decodedUnits() const { return m_start + m_used; }
    qint64 decodedBytes() const { return m_bytesRead - m_kept; }
    bool ended() const { return m_ended; }
    bool failed() const { return m_failed; }

private:
    struct Needle
    {
        QString text;
        qsizetype first = 0; // 1-based, 0 while not seen
    };

    bool decodeBlock();
    void roomFor(qsizetype units);
    void noteFirstOccurrences(qsizetype from);

    QFile &m_file;
    QString &m_text;
    QByteArray &m_block;
    qsizetype m_step;
    qsizetype m_kept = 0; // bytes at the block's start waiting for the next read
    qint64 m_bytesRead = 0;
    qsizetype m_start = 0; // 0-based position of m_text[0] in the whole text
    qsizetype m_used = 0;  // units held in m_text
    qsizetype m_floor = 0; // 0-based; units before it may be dropped
    bool m_ended = false;
    bool m_failed = false;
    QString m_head;
    QString *m_original; // beside m_text, or null
    QString m_headOriginal;
    std::vector<Needle> m_needles;
    MoveHandler m_onMove;
};

} // namespace mz
