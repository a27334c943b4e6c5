#include "fetch/articles.h"

#include "fetch/readability.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace mz {

namespace {

constexpr auto CI = Qt::CaseInsensitive;

// Longest file name stem in UTF-8 bytes: file systems allow 255 bytes per name, and the
// download component and the atomic rewrite add ".htm" and a temporary suffix.
constexpr qsizetype kMaxStemBytes = 200;

QChar safeChar(QChar c)
{
    switch (c.unicode()) {
    case u'/':
        return QChar(u'／');
    case u'\\':
        return QChar(u'＼');
    case u':':
        return QChar(u'：');
    case u'?':
        return QChar(u'？');
    case u'*':
        return QChar(u'＊');
    case u'"':
        return QChar(u'＂');
    case u'<':
        return QChar(u'＜');
    case u'>':
        return QChar(u'＞');
    case u'|':
        return QChar(u'｜');
    default:
        break;
    }
    if (c.unicode() < 0x20 || c.unicode() == 0x7f)
        return QChar(u'_');
    return c;
}

void chopTrailingDotsAndSpaces(QString &s)
{
    while (!s.isEmpty() && (s.back() == QLatin1Char('.') || s.back().isSpace()))
        s.chop(1);
}

// Names Windows keeps for devices, whatever extension follows them.
bool isDeviceName(const QString &stem)
{
    const QString base = stem.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList fixed{QStringLiteral("CON"), QStringLiteral("PRN"),
                                   QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (fixed.contains(base))
        return true;
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           base.at(3) >= QLatin1Char('1') && base.at(3) <= QLatin1Char('9');
}

// The charset a page declares in a meta tag of its beginning (lower-cased), empty when none:
// <meta charset="…"> or <meta http-equiv="Content-Type" content="text/html; charset=…">.
QByteArray declaredCharset(QByteArrayView page)
{
    const QByteArray head = page.first(qMin<qsizetype>(page.size(), 4096)).toByteArray().toLower();
    for (qsizetype meta = head.indexOf("<meta"); meta >= 0;
         meta = head.indexOf("<meta", meta + 1)) {
        const qsizetype close = head.indexOf('>', meta);
        const QByteArray tag = head.mid(meta, close < 0 ? -1 : close - meta);
        qsizetype at = tag.indexOf("charset");
        if (at < 0)
            continue;
        at += 7;
        while (at < tag.size() && (tag.at(at) == ' ' || tag.at(at) == '\t'))
            ++at;
        if (at >= tag.size() || tag.at(at) != '=')
            continue;
        ++at;
        while (at < tag.size() &&
               (tag.at(at) == ' ' || tag.at(at) == '\t' || tag.at(at) == '"' || tag.at(at) == '\''))
            ++at;
        qsizetype end = at;
        while (end < tag.size() && (QChar::isLetterOrNumber(uchar(tag.at(end))) ||
                                    tag.at(end) == '-' || tag.at(end) == '_'))
            ++end;
        if (end > at)
            return tag.mid(at, end - at);
    }
    return {};
}

// Labels of UTF-8; a meta tag naming UTF-16 is read as UTF-8 too, since the tag itself was
// readable as ASCII.
bool isUtf8Label(const QByteArray &charset)
{
    return charset == "utf-8" || charset == "utf8" || charset.startsWith("utf-16") ||
           charset == "unicode";
}

// Labels of GBK and the charsets it extends, all read as GB18030 (pages declaring gb2312 use
// GBK's characters as a rule).
bool isGbkLabel(const QByteArray &charset)
{
    static const QByteArrayList labels{
        "gbk",      "gb2312",          "gb_2312",   "gb_2312-80",  "gb18030",
        "x-gbk",    "cp936",           "ms936",     "windows-936", "chinese",
        "csgb2312", "csiso58gb231280", "iso-ir-58", "euc-cn",      "x-euc-cn",
    };
    return labels.contains(charset);
}

// Labels of single-byte Western charsets.
bool isWesternLabel(const QByteArray &charset)
{
    return charset.startsWith("iso-8859") || charset.startsWith("iso8859") ||
           charset.startsWith("windows-125") || charset.startsWith("cp125") ||
           charset.startsWith("latin") || charset == "us-ascii" || charset == "ascii" ||
           charset == "l1";
}

} // namespace

const QStringList &markerKeys()
{
    static const QStringList keys{
        QStringLiteral("[新闻名字start]="), QStringLiteral("[新闻名字end]="),
        QStringLiteral("[新闻内容start]="), QStringLiteral("[新闻内容end]="),
        QStringLiteral("[中间广告start]="), QStringLiteral("[中间广告end]="),
    };
    return keys;
}

MarkerFile parseMarkers(const QString &fenliText)
{
    const QString text = fenliText.toLower();
    QStringList values;
    MarkerFile result;
    for (const QString &key : markerKeys()) {
        const qsizetype at = text.indexOf(key.toLower());
        if (at < 0) {
            result.missingKeys.append(key);
            continue;
        }
        const qsizetype from = at + key.size();
        qsizetype end = from;
        while (end < text.size() && text.at(end) != QLatin1Char('\r') &&
               text.at(end) != QLatin1Char('\n'))
            ++end;
        values.append(text.mid(from, end - from));
    }
    if (result.missingKeys.isEmpty())
        result.markers =
            ArticleMarkers{values[0], values[1], values[2], values[3], values[4], values[5]};
    return result;
}

QString removeAdvertisement(const QString &article, const ArticleMarkers &m)
{
    if (m.adStart.isEmpty() || m.adEnd.isEmpty())
        return article;
    const qsizetype p = article.indexOf(m.titleStart, 0, CI);
    if (p < 0)
        return article;
    const qsizetype a1 = article.indexOf(m.adStart, p, CI);
    const qsizetype a2 = article.indexOf(m.adEnd, p, CI);
    if (a1 < 0 || a2 < a1 + m.adStart.size())
        return article;
    return article.left(a1) + article.mid(a2 + m.adEnd.size());
}

QString fillTemplate(const QString &templateText, const QString &title, const QString &body)
{
    static const QString titleMark = QStringLiteral("[新闻名字]");
    static const QString bodyMark = QStringLiteral("[新闻内容]");
    QString page;
    qsizetype from = 0;
    for (;;) {
        const qsizetype t = templateText.indexOf(titleMark, from);
        const qsizetype b = templateText.indexOf(bodyMark, from);
        if (t < 0 && b < 0)
            break;
        const bool isTitle = t >= 0 && (b < 0 || t < b);
        const qsizetype at = isTitle ? t : b;
        page += QStringView(templateText).mid(from, at - from);
        page += isTitle ? title : body;
        from = at + (isTitle ? titleMark.size() : bodyMark.size());
    }
    page += QStringView(templateText).mid(from);
    return page;
}

Extraction extractArticle(const QString &article, const ArticleMarkers &m,
                          const QString &templateText)
{
    using Status = Extraction::Status;
    Extraction x;
    // Rewriting with such a template or such markers would replace the article by a page
    // without it.
    if (!templateText.contains(QStringLiteral("[新闻内容]"))) {
        x.status = Status::TemplateWithoutBody;
        return x;
    }
    if (m.bodyStart.isEmpty() && m.bodyEnd.isEmpty()) {
        x.status = Status::EmptyBodyMarkers;
        return x;
    }
    const QString a = removeAdvertisement(article, m);

    const qsizetype t1 = a.indexOf(m.titleStart, 0, CI);
    if (t1 < 0) {
        x.status = Status::TitleStartMissing;
        return x;
    }
    const qsizetype titleFrom = t1 + m.titleStart.size();
    // The end is searched behind the whole start marker, so that title and body never come out
    // with a negative length.
    const qsizetype t2 = a.indexOf(m.titleEnd, titleFrom, CI);
    if (t2 < 0) {
        x.status = Status::TitleEndMissing;
        return x;
    }
    const qsizetype b1 = a.indexOf(m.bodyStart, t1 + 1, CI);
    if (b1 < 0) {
        x.status = Status::BodyStartMissing;
        return x;
    }
    const qsizetype bodyFrom = b1 + m.bodyStart.size();
    const qsizetype b2 = a.indexOf(m.bodyEnd, b1 + qMax<qsizetype>(1, m.bodyStart.size()), CI);
    if (b2 < 0) {
        x.status = Status::BodyEndMissing;
        return x;
    }
    x.title = a.mid(titleFrom, t2 - titleFrom);
    x.body = a.mid(bodyFrom, b2 - bodyFrom);
    x.page = fillTemplate(templateText, x.title, x.body);
    return x;
}

Extraction cleanArticle(const QString &article, const ArticleMarkers &markers,
                        const QString &templateText)
{
    using Status = Extraction::Status;
    Extraction x = extractArticle(article, markers, templateText);
    switch (x.status) {
    case Status::TitleStartMissing:
    case Status::TitleEndMissing:
    case Status::BodyStartMissing:
    case Status::BodyEndMissing:
        break;
    default:
        return x;
    }
    // An image or another file decodes to characters all the same, which would pass for text.
    // A NUL is in no text page and in nearly every such file.
    if (article.contains(QChar(u'\0'))) {
        x.status = Status::NotText;
        return x;
    }
    const std::optional<MainText> text = findMainText(article);
    if (!text) {
        x.status = Status::NoText;
        return x;
    }
    x.status = Status::Readability;
    x.title = text->title;
    x.body = text->body;
    x.page = fillTemplate(templateText, text->title.toHtmlEscaped(), text->body);
    return x;
}

QString extractionProblem(Extraction::Status status)
{
    switch (status) {
    case Extraction::Status::Ok:
        return {};
    case Extraction::Status::TitleStartMissing:
        return QStringLiteral("网页中没有[新闻名字start]标记");
    case Extraction::Status::TitleEndMissing:
        return QStringLiteral("网页中没有[新闻名字end]标记");
    case Extraction::Status::BodyStartMissing:
        return QStringLiteral("网页中没有[新闻内容start]标记");
    case Extraction::Status::BodyEndMissing:
        return QStringLiteral("网页中没有[新闻内容end]标记");
    case Extraction::Status::Readability:
        return QStringLiteral("网页中没有fenli.ini的标记，已按文字密度找出正文");
    case Extraction::Status::TemplateWithoutBody:
        return QStringLiteral("template.ini为空或没有[新闻内容]");
    case Extraction::Status::EmptyBodyMarkers:
        return QStringLiteral("fenli.ini的[新闻内容start]和[新闻内容end]都是空的");
    case Extraction::Status::NoText:
        return QStringLiteral("网页中没有fenli.ini的标记，也找不到正文");
    case Extraction::Status::NotText:
        return QStringLiteral("下载的不是网页，而是图片或别的文件");
    }
    return {};
}

QString decodeArticlePage(QByteArrayView page)
{
    const QByteArray charset = declaredCharset(page);
    const bool bom = page.startsWith("\xEF\xBB\xBF");
    if (bom || charset.isEmpty() || isUtf8Label(charset)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(page);
        if (!utf8.hasError())
            return text;
    }
    // A page in a multi-byte charset of another family (Big5, Shift_JIS, EUC-KR) reads as it
    // declares, as a browser shows it; read as GBK its text would come out as other characters.
    // A Western single-byte label stays with GBK: on the Chinese sites this reader follows it is
    // more often a Chinese page labelled wrongly (a copied template) than a Western one, and GBK
    // reads such a page as it always did.
    if (!bom && !charset.isEmpty() && !isUtf8Label(charset) && !isGbkLabel(charset) &&
        !isWesternLabel(charset)) {
        QStringDecoder declared(charset.constData(), QStringDecoder::Flag::Stateless);
        if (declared.isValid())
            return declared.decode(page);
    }
    return decodeAnsi(page);
}

PageTemplate decodeTemplate(QByteArrayView bytes)
{
    const QByteArray charset = declaredCharset(bytes);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (bom || isUtf8Label(charset) || (charset.isEmpty() && !ascii)) {
        // The mark is kept, to be written again: it outweighs any declaration in a browser.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return {text, true};
    }
    return {decodeAnsi(bytes), false};
}

QByteArray encodeArticle(QStringView page, const PageTemplate &pageTemplate)
{
    return pageTemplate.utf8 ? page.toUtf8() : encodeAnsi(page);
}

QString articleFileName(const QString &headline)
{
    const QString text = headline.trimmed();
    QString stem;
    stem.reserve(text.size());
    for (QChar c : text)
        stem.append(safeChar(c));
    // Leading dots would hide the file on Unix systems.
    while (!stem.isEmpty() && (stem.front() == QLatin1Char('.') || stem.front().isSpace()))
        stem.remove(0, 1);
    chopTrailingDotsAndSpaces(stem);

    if (stem.toUtf8().size() > kMaxStemBytes) {
        qsizetype bytes = 0, keep = 0;
        while (keep < stem.size()) {
            const qsizetype step =
                stem.at(keep).isHighSurrogate() && keep + 1 < stem.size() ? 2 : 1;
            const qsizetype size = stem.mid(keep, step).toUtf8().size();
            if (bytes + size > kMaxStemBytes)
                break;
            bytes += size;
            keep += step;
        }
        stem.truncate(keep);
        chopTrailingDotsAndSpaces(stem);
    }
    if (stem.isEmpty())
        stem = QStringLiteral("无标题");
    else if (isDeviceName(stem))
        stem.prepend(QLatin1Char('_'));
    return stem + QStringLiteral(".htm");
}

QString articleArrivalPath(const QString &path)
{
    return path + QStringLiteral(".download");
}

QString articleFilePath(const QString &programFolder, const QString &headline)
{
    return QDir(programFolder).filePath(QStringLiteral("News_save/") + articleFileName(headline));
}

namespace {

// fileName itself when `isFree` accepts it, else the first free of "stem (2).ext", "stem (3).ext",
// …
template <typename IsFree> QString firstFreeArticleFileName(const QString &fileName, IsFree isFree)
{
    if (isFree(fileName))
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    const QString suffix = dot > 0 ? fileName.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString name = stem + QStringLiteral(" (") + QString::number(n) + u')' + suffix;
        if (isFree(name))
            return name;
    }
}

} // namespace

QString uniqueArticleFileName(const QString &newsFolder, const QString &fileName,
                              const QSet<QString> &taken)
{
    const QDir folder(newsFolder);
    return firstFreeArticleFileName(fileName, [&](const QString &name) {
        return !taken.contains(name) && !QFileInfo::exists(folder.filePath(name));
    });
}

QString batchArticleFileName(const QString &fileName, const QSet<QString> &taken)
{
    return firstFreeArticleFileName(fileName,
                                    [&](const QString &name) { return !taken.contains(name); });
}

} // namespace mz
