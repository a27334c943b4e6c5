#include "fetch/retrypolicy.h"

#include <QtGlobal>

#include <algorithm>

namespace mz {

int RetryPolicy::pauseBeforeAttempt(int attempt) const
{
    if (attempt <= 1)
        return 0;
    const int cap = std::max(0, m_maxPauseMs);
    qint64 pause = std::max(0, m_firstPauseMs);
    for (int i = 2; i < attempt && pause < cap; ++i)
        pause *= 2;
    return int(std::min<qint64>(pause, cap));
}

} // namespace mz
