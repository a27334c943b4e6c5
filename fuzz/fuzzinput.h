#pragma once
// Shared by the fuzz targets: cutting one input into several texts, and a check that stops the
// run (a crash that libFuzzer records) when a property the code promises does not hold.

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace mz::fuzz {

// The input cut at NUL bytes into exactly `count` parts (missing parts are empty; the last part
// keeps any further NUL bytes).
inline QList<QByteArray> splitInput(const uint8_t *data, size_t size, int count)
{
    QList<QByteArray> parts;
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    qsizetype from = 0;
    for (int i = 0; i < count - 1; ++i) {
        const qsizetype nul = from <= all.size() ? all.indexOf('\0', from) : -1;
        if (nul < 0) {
            parts << all.mid(from);
            from = all.size() + 1;
            continue;
        }
        parts << all.mid(from, nul - from);
        from = nul + 1;
    }
    parts << (from <= all.size() ? all.mid(from) : QByteArray());
    return parts;
}

inline void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

} // namespace mz::fuzz
