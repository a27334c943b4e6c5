#pragma once
// How often and how patiently an incomplete page download is tried again: a growing pause
// between attempts (first pause, doubled each time, capped) and a limit on the attempts.

namespace mz {

class RetryPolicy
{
public:
    RetryPolicy() = default;
    RetryPolicy(int maxAttempts, int firstPauseMs, int maxPauseMs)
        : m_maxAttempts(maxAttempts), m_firstPauseMs(firstPauseMs), m_maxPauseMs(maxPauseMs)
    {
    }

    int maxAttempts() const { return m_maxAttempts; }
    int firstPauseMs() const { return m_firstPauseMs; }
    int maxPauseMs() const { return m_maxPauseMs; }

    // True when another attempt may follow `attemptsMade` failed ones.
    bool mayRetry(int attemptsMade) const { return attemptsMade < m_maxAttempts; }

    // The pause before attempt number `attempt` (the first attempt is 1 and has no pause):
    // first pause, then doubled for each further attempt, never more than the cap.
    int pauseBeforeAttempt(int attempt) const;

private:
    int m_maxAttempts = 5;
    int m_firstPauseMs = 1000;
    int m_maxPauseMs = 16000;
};

} // namespace mz
