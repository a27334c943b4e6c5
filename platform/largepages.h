#pragma once
// Fresh memory for large buffers in large pages.
//
// The first touch of every fresh 4 kB page costs a trap into the kernel; a buffer of a few hundred
// megabytes (a large page's text, a million rows) then spends more time in those traps than in
// the work done on it, the more so on virtual machines. Where the kernel offers transparent huge
// pages on request, a buffer marked before its first touch is mapped 2 MB at a time instead.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace mz {

// Marks the whole 2 MB pages inside [data, data + bytes) for huge pages. Does nothing for small
// buffers, on systems without transparent huge pages, or when the kernel declines.
void preferLargePages(const void *data, std::size_t bytes);

// Room for `more` elements beyond the size: at least doubling the capacity when it grows, and
// in large pages when the new buffer is large.
template <typename T> void growVector(std::vector<T> &v, std::size_t more)
{
    const std::size_t needed = v.size() + more;
    if (needed <= v.capacity())
        return;
    v.reserve(std::max(needed, 2 * v.capacity()));
    preferLargePages(v.data(), v.capacity() * sizeof(T));
}

} // namespace mz
