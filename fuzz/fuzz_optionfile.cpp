// The option.ini rules on any text: days to keep, the list sections, the addresses and the three
// keyword rewrites. Input: the file text, NUL, a keyword, NUL, a second keyword (all GBK).

#include "store/optionfile.h"
#include "fuzz/fuzzinput.h"
#include "platform/textfile.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parts = fuzz::splitInput(data, size, 3);
    const QString text = withCrLf(decodeAnsi(parts[0]));
    const QString keyword = decodeAnsi(parts[1]);
    const QString other = decodeAnsi(parts[2]);

    (void)parseDaysToKeep(text);
    for (const char16_t *header :
         {kDaysHeader, kKeywordsHeader, kCategoriesHeader, kPortalHeader, kSiteHeader})
        (void)parseListSection(text, QStringView(header));
    (void)portalAddress(text);
    (void)siteAddress(text);

    const QString inserted = insertKeyword(text, keyword);
    fuzz::require(inserted.size() >= text.size() + keyword.size(), "insert keeps the text");
    const QString removed = removeKeyword(inserted, keyword);
    fuzz::require(removed.size() <= inserted.size(), "remove never adds");
    (void)renameKeyword(text, keyword, other);
    (void)renameKeyword(inserted, keyword, other);
    (void)removeKeyword(text, other);
    return 0;
}
