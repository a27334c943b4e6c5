#include "lists/titleblock.h"

#include "platform/largepages.h"

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

void TitleBlock::reserveMore(qsizetype rows, qsizetype units)
{
    growVector(m_units, size_t(units + rows));
    growVector(m_starts, size_t(rows));
}

void TitleBlock::clear(bool release)
{
    if (!release) {
        m_units.clear();
        m_starts.assign(1, 0);
        return;
    }
    std::vector<char16_t>().swap(m_units);
    std::vector<qsizetype>{0}.swap(m_starts);
}

} // namespace mz
