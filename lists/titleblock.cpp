#include "lists/titleblock.h"

namespace mz {

void TitleBlock::append(QStringView title)
{
    m_units.insert(m_units.end(), title.utf16(), title.utf16() + title.size());
    m_units.push_back(kSeparator);
    m_starts.push_back(qsizetype(m_units.size()));
}

void TitleBlock::clear()
{
    m_units.clear();
    m_starts.assign(1, 0);
}

} // namespace mz
