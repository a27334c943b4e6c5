// The safe file name of a saved article on any headline: one plain name inside News_save.
// Input: the headline as UTF-16 (first byte odd) or as UTF-8 (first byte even).

#include "fetch/articles.h"
#include "fuzz/fuzzinput.h"

#include <QFileInfo>

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const QString headline = data[0] % 2
                                 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(rest),
                                                      qsizetype((size - 1) / 2))
                                 : QString::fromUtf8(rest, qsizetype(size - 1));

    const QString name = articleFileName(headline);
    fuzz::require(name.endsWith(QStringLiteral(".htm")) && name.size() > 4, "a name before .htm");
    fuzz::require(!name.startsWith(u'.') && !name.startsWith(u' '), "the name is not hidden");
    fuzz::require(name.toUtf8().size() <= 255, "the name fits a file system");
    for (const QChar c : name) {
        fuzz::require(c.unicode() >= 0x20 && c != u'/' && c != u'\\' && c != u':' && c != u'*' &&
                          c != u'?' && c != u'"' && c != u'<' && c != u'>' && c != u'|',
                      "no character a file name cannot hold");
    }
    const QString folder = QStringLiteral("/prog");
    fuzz::require(QFileInfo(articleFilePath(folder, headline)).path() ==
                      folder + QStringLiteral("/News_save"),
                  "the file stays in News_save");
    return 0;
}
