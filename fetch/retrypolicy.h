#pragma once
// How often and how patiently an incomplete page download is tried again: a growing pause
// between attempts (first pause, doubled each time, capped) and a limit on the attempts, and the
// slowest line whose attempts a time limit ended are worth continuing.

#include <QtGlobal>

namespace mz {

class RetryPolicy
{
public:
    RetryPolicy() = default;
    RetryPolicy(int maxAttempts, int firstPauseMs, int maxPauseMs, int minBytesPerSecond = 256)
        : m_maxAttempts(maxAttempts), m_firstPauseMs(firstPauseMs), m_maxPauseMs(maxPauseMs),
          m_minBytesPerSecond(minBytesPerSecond)
    {
    }

    int maxAttempts() const { return m_maxAttempts; }
    int firstPauseMs() const { return m_firstPauseMs; }
    int maxPauseMs() const { return m_maxPauseMs; }
    int minBytesPerSecond() const { return m_minBytesPerSecond; }

    // True when another attempt may follow `attemptsMade` failed ones.
    bool mayRetry(int attemptsMade) const { return attemptsMade < m_maxAttempts; }

    // The pause before attempt number `attempt` (the first attempt is 1 and has no pause):
    // first pause, then doubled for each further attempt, never more than the cap.
    int pauseBeforeAttempt(int attempt) const;

    // True when an attempt that a time limit of `elapsedMs` ended after storing `newBytes` of
    // the page was on a slow line rather than fed a byte at a time: the next attempt continues
    // it. A drip below the rate would keep the page (and what waits for it) from ever ending.
    bool worthContinuing(qint64 newBytes, qint64 elapsedMs) const
    {
        return newBytes > 0 &&
               newBytes * 1000 >= qint64(m_minBytesPerSecond) * qMax<qint64>(1, elapsedMs);
    }

private:
    int m_maxAttempts = 5;
    int m_firstPauseMs = 1000;
    int m_maxPauseMs = 16000;
    // A quarter of the slowest line (1 KB/s) the downloads are meant for.
    int m_minBytesPerSecond = 256;
};

} // namespace mz
