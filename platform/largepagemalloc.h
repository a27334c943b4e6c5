#pragma once
// Large lists allocate tens of megabytes at once: the list view keeps one layout item per row,
// and the model's columns grow with the page. Where every fresh 4 kB page costs a trap (virtual
// machines above all), letting glibc back large allocations with transparent huge pages makes
// showing a million rows several times faster. glibc reads its tunables only when a process
// starts, so the program starts itself once more, in place, with the tunable set.

namespace mz {

// Called first thing in main(). When glibc's huge-page tunable is not in effect yet, runs this
// executable again in the same process with the same arguments and the tunable added to
// GLIBC_TUNABLES (a choice of the user's own about it is left alone). In the restarted process
// it puts the environment back as the caller had it, so that programs started from here (the
// browser, the mail program) do not inherit the setting. Returns when nothing is to be done, when
// the restart cannot be made (the program then runs as it is) and on systems without glibc.
void startWithLargePageMalloc(char **argv);

} // namespace mz
