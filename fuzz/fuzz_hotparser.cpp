// The hot news page parser on any bytes: no crash, no sanitizer report.

#include "fuzz/fuzzinput.h"
#include "lists/hotparser.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const HeadlineRows rows =
        parseHotPage(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    fuzz::require(rows.size() <= qsizetype(size), "no more rows than bytes");
    return 0;
}
