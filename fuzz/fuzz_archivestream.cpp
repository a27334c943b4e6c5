// The archive page scanned while its file is decoded block by block gives exactly the rows and
// the count of scanning the page's whole text, for any bytes and block size.

#include "fuzz/fuzzinput.h"
#include "lists/archiveparser.h"

#include <QTemporaryDir>

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("news.shtml"));
    static const QString base = QStringLiteral("http://portal.test");
    const QByteArrayView page(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile file(path);
    fuzz::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                      file.write(page.data(), page.size()) == page.size(),
                  "the page is written");
    file.close();

    const ArchiveParseResult whole = parseArchivePage(page, base);
    const qsizetype blockBytes = size ? 1 + data[size - 1] % 97 : 1;
    ArchivePageText buffer;
    const std::optional<ArchiveParseResult> streamed =
        parseArchiveFile(path, base, {}, &buffer, blockBytes);
    fuzz::require(streamed.has_value(), "the file is read");
    fuzz::require(streamed->found == whole.found, "the same number of entries");
    fuzz::require(streamed->rows.size() == whole.rows.size(), "the same number of rows");
    for (qsizetype i = 0; i < whole.rows.size(); ++i) {
        const HeadlineRow &a = whole.rows[i];
        const HeadlineRow &b = streamed->rows[i];
        fuzz::require(a.title == b.title && a.sub1 == b.sub1 && a.tag == b.tag && a.icon == b.icon,
                      "the same rows");
    }
    return 0;
}
