#include "platform/largepagemalloc.h"

#include <cstdlib> // also tells whether this is glibc (__GLIBC__)

#if defined(__linux__) && defined(__GLIBC__)
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>
#endif

namespace mz {

#if defined(__linux__) && defined(__GLIBC__)

namespace {

constexpr char kTunables[] = "GLIBC_TUNABLES";
constexpr char kHugePages[] = "glibc.malloc.hugetlb=1";
// Set for the restarted process only: "+" and the caller's GLIBC_TUNABLES, or "-" without one.
constexpr char kCallers[] = "MOZHOU_CALLERS_GLIBC_TUNABLES";

void restoreCallersTunables(const char *saved)
{
    if (saved[0] == '+')
        setenv(kTunables, saved + 1, 1);
    else
        unsetenv(kTunables);
    unsetenv(kCallers);
}

} // namespace

void startWithLargePageMalloc(char **argv)
{
    if (const char *saved = std::getenv(kCallers)) {
        const std::string copy = saved; // restoring changes the environment it points into
        restoreCallersTunables(copy.c_str());
        return;
    }
    const char *current = std::getenv(kTunables);
    if (current && std::strstr(current, "glibc.malloc.hugetlb"))
        return;
    const std::string saved = current ? std::string("+") + current : std::string("-");
    const std::string tunables =
        current && *current ? std::string(current) + ":" + kHugePages : std::string(kHugePages);
    if (setenv(kCallers, saved.c_str(), 1) == 0 && setenv(kTunables, tunables.c_str(), 1) == 0) {
        // The kernel names a process after the file it was started from: restarted through
        // /proc/self/exe the program would be "exe" in ps, top and the system monitor, and pgrep
        // or killall would not find "mozhou". The link is only the fallback for a file that can no
        // longer be named (removed or replaced since the start).
        char self[PATH_MAX];
        const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
        if (length > 0) {
            self[length] = '\0';
            execv(self, argv);
        }
        execv("/proc/self/exe", argv);
    }
    restoreCallersTunables(saved.c_str()); // not restarted: run as things are
}

#else

void startWithLargePageMalloc(char **) {}

#endif

} // namespace mz
