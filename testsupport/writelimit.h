#pragma once
// Makes file writes of this process fail past a size, like a full disk (binds root too), for as
// long as the object lives.

#include <csignal>
#include <sys/resource.h>

namespace mz::test {

class WriteLimit
{
public:
    explicit WriteLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~WriteLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    WriteLimit(const WriteLimit &) = delete;
    WriteLimit &operator=(const WriteLimit &) = delete;

private:
    rlimit m_old{};
};

} // namespace mz::test
