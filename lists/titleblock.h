#pragma once
// The titles of a list's rows kept one after the other in a single buffer, so that a search can
// sweep all of them over contiguous memory instead of visiting one heap block per row.
//
// Row r's title occupies [start(r), end(r)); a separator unit follows each title, so row r + 1
// begins at end(r) + 1. The separator is U+0000, which a title may also contain: a search must
// check that a match lies inside one title, never rely on the separator alone.

#include <QStringView>

#include <vector>

namespace mz {

class TitleBlock
{
public:
    static constexpr char16_t kSeparator = u'\0';

    int rowCount() const { return int(m_starts.size()) - 1; }

    // All units, titles and separators.
    const char16_t *units() const { return m_units.data(); }
    qsizetype size() const { return qsizetype(m_units.size()); }

    qsizetype start(int row) const { return m_starts[size_t(row)]; }
    qsizetype end(int row) const { return m_starts[size_t(row) + 1] - 1; }
    QStringView title(int row) const { return {units() + start(row), end(row) - start(row)}; }

    void append(QStringView title);
    // `head` and `tail` one after the other as one title.
    void append(QStringView head, QStringView tail);
    // Removes all titles. The memory stays for the next fill unless `release` is set.
    void clear(bool release = true);
    // Room for `rows` more titles of `units` units in all (separators not counted).
    void reserveMore(qsizetype rows, qsizetype units);

private:
    std::vector<char16_t> m_units;
    std::vector<qsizetype> m_starts{0}; // start of every row, and one past the last separator
};

} // namespace mz
