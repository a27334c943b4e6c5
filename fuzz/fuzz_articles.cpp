// Article extraction on any marker file, page and template.
// Input: fenli.ini text, NUL, article page, NUL, template (GBK).

#include "fetch/articles.h"
#include "fuzz/fuzzinput.h"
#include "platform/textfile.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parts = fuzz::splitInput(data, size, 3);
    const MarkerFile file = parseMarkers(decodeAnsi(parts[0]));
    const ArticleMarkers markers = file.markers.value_or(ArticleMarkers{
        QStringLiteral("<h1>"), QStringLiteral("</h1>"), QStringLiteral("<div id=body>"),
        QStringLiteral("</div>"), QStringLiteral("<!--ad-->"), QStringLiteral("<!--/ad-->")});
    const QString article = decodeAnsi(parts[1]);
    const QString templateText = decodeAnsi(parts[2]);

    const QString clean = removeAdvertisement(article, markers);
    fuzz::require(clean.size() <= article.size(), "removing the advertisement never adds");
    const Extraction x = extractArticle(article, markers, templateText);
    fuzz::require(x.ok() || x.page.isEmpty(), "a failed extraction gives no page");
    fuzz::require(x.ok() == extractionProblem(x.status).isEmpty(), "a failure is named");
    return 0;
}
