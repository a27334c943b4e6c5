// The archive page parser on any bytes: no crash, no sanitizer report, and every address is
// either absolute, empty, or the base followed by at most one cut value.

#include "fuzz/fuzzinput.h"
#include "lists/archiveparser.h"
#include "lists/pagescan.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString bases[] = {QStringLiteral("http://portal.test"),
                                    QStringLiteral("portal.test"),
                                    QStringLiteral("http://127.0.0.1:8086")};
    const QString &base = bases[size ? data[0] % 3 : 0];
    const QByteArrayView page(reinterpret_cast<const char *>(data), qsizetype(size));

    qsizetype chunked = 0;
    const ArchiveParseResult result =
        parseArchivePage(page, base, [&](HeadlineRows &&rows, qsizetype) {
            chunked += rows.size();
            return true;
        });
    fuzz::require(result.found == chunked + result.rows.size(), "found counts every row");
    for (const HeadlineRow &row : result.rows) {
        // Absolute as the parser judges it, on the lower-cased page: the address keeps its case.
        const bool absolute = row.tag.contains(u"http://", Qt::CaseInsensitive) ||
                              row.tag.contains(u"https://", Qt::CaseInsensitive);
        fuzz::require(absolute || row.tag.isEmpty() || row.tag.startsWith(base),
                      "a relative address starts with the base");
        fuzz::require(row.tag.size() <= base.size() + kMaxCutLength, "addresses stay bounded");
    }
    return 0;
}
