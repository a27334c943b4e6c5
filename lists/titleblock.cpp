#include "lists/titleblock.h"

#include <algorithm>

namespace mz {

void TitleBlock::append(QStringView title)
{
    m_units.insert(m_units.end(), title.utf16(), title.utf16() + title.size());
    m_units.push_back(kSeparator);
    m_starts.push_back(qsizetype(m_units.size()));
}

void TitleBlock::append(QStringView head, QStringView tail)
{
    m_units.insert(m_units.end(), head.utf16(), head.utf16() + head.size());
    m_units.insert(m_units.end(), tail.utf16(), tail.utf16() + tail.size());
    m_units.push_back(kSeparator);
    m_starts.push_back(qsizetype(m_units.size()));
}

namespace {

// Room for `more` elements; growing by at least half keeps a run of such calls linear.
template <typename T> void growFor(std::vector<T> &v, size_t more)
{
    const size_t needed = v.size() + more;
    if (needed > v.capacity())
        v.reserve(std::max(needed, v.capacity() + v.capacity() / 2));
}

} // namespace

void TitleBlock::reserveMore(qsizetype rows, qsizetype units)
{
    growFor(m_units, size_t(units + rows));
    growFor(m_starts, size_t(rows));
}

void TitleBlock::clear()
{
    // Gives the memory back: a list of a million rows is not kept mapped for a list of ten.
    std::vector<char16_t>().swap(m_units);
    std::vector<qsizetype>{0}.swap(m_starts);
}

} // namespace mz
