#pragma once
// Building blocks shared by the page parsers: forward substring searches and guarded cuts on
// 1-based positions (0 = not found), the way the page grammars are described.

#include <QString>
#include <QStringView>
#include <optional>

namespace mz {

// The longest value a parser cuts out of a page. Titles, categories and addresses are far
// shorter; a longer cut means a damaged page whose markers pair up across many entries, and it
// is treated like any other cut that cannot be carried out (the value keeps its previous text).
inline constexpr qsizetype kMaxCutLength = 1024;

// The text a parse's rows may hold beyond twice the page read so far. Values are cut out of the
// page, so on a sound page the rows never hold more than the page itself; a damaged one can make
// thousands of rows carry one long value (a failed cut keeps the last) or cut one stretch again.
// Rows past the allowance keep their place without that text, so that the memory a parse uses
// stays proportional to the page, whatever the page holds.
inline constexpr qsizetype kRowTextSlack = 64 * 1024;

// The text one kind of value has handed to a parse's rows, held to that allowance.
class RowTextAllowance
{
public:
    // Whether a value of `size` units still fits while the scan stands at `pos`; counted if so.
    bool take(qsizetype size, qsizetype pos)
    {
        if (m_held + size > 2 * pos + kRowTextSlack)
            return false;
        m_held += size;
        return true;
    }

private:
    qsizetype m_held = 0;
};

// First occurrence of one needle in one text at or after a 1-based position.
//
// One finder serves one search site of a parser. The site's start positions only move forward
// (or fall back to 1 once a marker is gone for good), so the finder remembers its last answer:
// a text with no occurrence between `from` and the remembered hit, or no occurrence at all after
// an earlier `from`, is not searched again. That keeps a whole parse linear in the page size even
// when a marker is missing and every later entry would otherwise search to the end.
// The remembered answer of one search site whose start positions only move forward: a start
// between the last start and its answer, or after a start that found nothing, has the same
// answer. `search(from)` runs the search when it is needed. Shared by ForwardFinder and by the
// scan of a page read block by block.
class ForwardMemo
{
public:
    template <typename Search> qsizetype find(qsizetype from, Search &&search)
    {
        if (m_lastFrom >= 1 && from >= m_lastFrom && (m_lastFound == 0 || from <= m_lastFound)) {
            m_lastFrom = from;
            return m_lastFound;
        }
        m_lastFrom = from;
        m_lastFound = search(from);
        return m_lastFound;
    }

private:
    qsizetype m_lastFrom = -1;
    qsizetype m_lastFound = 0;
};

class ForwardFinder
{
public:
    ForwardFinder(QStringView text, QStringView needle) : m_text(text), m_needle(needle) {}

    // 1-based position of the first occurrence at or after `from` (>= 1); 0 when there is none.
    qsizetype find(qsizetype from);

    // Characters covered by the searches actually run (remembered answers cost nothing).
    qsizetype searchedLength() const { return m_searched; }

private:
    QStringView m_text;
    QStringView m_needle;
    ForwardMemo m_memo;
    qsizetype m_searched = 0;
};

// 1-based position of the first occurrence of `needle` in `text` at or after `from`; 0 if none.
qsizetype findFrom(QStringView text, QStringView needle, qsizetype from = 1);

// The text of `length` characters from the 1-based position `start` (the rest of the text when
// it is shorter). nullopt when the cut cannot be carried out: start < 1, length < 0, or length
// beyond kMaxCutLength.
std::optional<QStringView> cutText(QStringView text, qsizetype start, qsizetype length);

// The value of an href attribute as cut out of a tag: a quoted value is taken without its quotes
// (up to the closing quote), an unquoted one ends at the first blank. A value without quotes
// and blanks comes back unchanged.
QStringView hrefValue(QStringView raw);

} // namespace mz
