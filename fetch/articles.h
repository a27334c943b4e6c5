#pragma once
// Article extraction: the marker file fenli.ini, cutting title and body out of an article page,
// filling the page template template.ini, and the file name an article is saved under.
//
// Marker searches are case-insensitive (fenli.ini is lower-cased when read) while the title and
// body keep the case and markup of the page. Only uniqueArticleFileName looks at the disk.

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace mz {

// The six marker values of fenli.ini, lower-cased.
struct ArticleMarkers
{
    QString titleStart, titleEnd; // [新闻名字start]= / [新闻名字end]=
    QString bodyStart, bodyEnd;   // [新闻内容start]= / [新闻内容end]=
    QString adStart, adEnd;       // [中间广告start]= / [中间广告end]=
    bool operator==(const ArticleMarkers &) const = default;
};

struct MarkerFile
{
    std::optional<ArticleMarkers> markers; // set when all six keys are present
    QStringList missingKeys;               // the keys not found, as written in the file
};

// The six keys in file order.
const QStringList &markerKeys();

// Reads the text of fenli.ini. Each key is found at its first occurrence anywhere in the
// (lower-cased) text; its value is everything after it up to the end of its line (spaces kept).
// A last line without a line break ends at the end of the text.
MarkerFile parseMarkers(const QString &fenliText);

// The article page without its advertisement block: the first block that starts with adStart
// and ends with adEnd, both searched from the title start on. Nothing is removed when either ad
// marker is empty, the title start or the ad start is missing, or the ad end is missing or does
// not follow the ad start.
QString removeAdvertisement(const QString &article, const ArticleMarkers &markers);

struct Extraction
{
    enum class Status {
        Ok,                // cut out with the markers of fenli.ini
        Readability,       // the page lacks the markers; its main text was found by text density
        TitleStartMissing, // the page lacks a marker (and no fallback was asked for, or it found
        TitleEndMissing,   // no text: see NoText)
        BodyStartMissing,
        BodyEndMissing,
        TemplateWithoutBody, // template.ini is empty or has no "[新闻内容]": it would drop the
                             // article
        EmptyBodyMarkers,    // both body markers of fenli.ini are empty: no body can be cut
        NoText,              // neither the markers nor any main text were found
        NotText,             // the answer holds bytes no text page has (an image or another file)
    };
    Status status = Status::Ok;
    QString title, body; // as the page writes them (Readability: rebuilt from the page's tree)
    QString page;        // the filled template; empty unless ok()
    // True when `page` is the clean page to write; otherwise the page is kept as it arrived and
    // extractionProblem(status) says why.
    bool ok() const { return status == Status::Ok || status == Status::Readability; }
};

// Fills the template in one pass over the template text: every "[新闻名字]" becomes `title`,
// every "[新闻内容]" becomes `body`. Placeholders inside the inserted texts stay as they are, so
// the result is never larger than the template plus one copy of title or body per placeholder.
QString fillTemplate(const QString &templateText, const QString &title, const QString &body);

// Removes the advertisement, cuts title and body out of the page and fills the template. A page
// that lacks a marker gives the status naming it and no page. A template that would drop the
// article, or markers that cannot find a body, keep the page as it arrived.
Extraction extractArticle(const QString &article, const ArticleMarkers &markers,
                          const QString &templateText);

// What the article batch does with an arrived page: extractArticle(), and when the page lacks
// its markers, the main text found by text density (findMainText) filled into the template,
// with the status Readability. A page without any main text gives NoText.
Extraction cleanArticle(const QString &article, const ArticleMarkers &markers,
                        const QString &templateText);

// A short text saying why an article was kept as it arrived (empty for Ok), or, for
// Readability, that the main text was found without the markers.
QString extractionProblem(Extraction::Status status);

// The text of an arrived article page. Pages are GBK as a rule; a page in UTF-8 (its bytes are
// valid UTF-8 and it starts with a byte order mark, declares charset utf-8 in a meta tag, or
// declares no charset at all) is read as UTF-8, so that its title, body and markers are not
// turned into other characters. A page declaring a charset outside the GBK family that Qt knows
// (Big5, Shift_JIS, ISO-8859-1 read as Windows-1252 as browsers do) is read in that charset.
// Any other page, or one declaring UTF-8 whose bytes are not valid UTF-8, is read as GBK
// (GB18030).
QString decodeArticlePage(QByteArrayView page);

// template.ini as read: its text, and the encoding of the articles made from it. A template in
// UTF-8 (a byte order mark, a declared utf-8, or text beyond ASCII in valid UTF-8 without a
// declaration) is read as UTF-8 and its articles are written in UTF-8, so that a saved page's
// bytes are in the charset it declares; any other template is GBK (GB18030), read and written so.
// fenli.ini is read the same way.
struct PageTemplate
{
    QString text;
    bool utf8 = false;
};
PageTemplate decodeTemplate(QByteArrayView bytes);
// The bytes of an article page filled from `pageTemplate`, in the template's encoding.
QByteArray encodeArticle(QStringView page, const PageTemplate &pageTemplate);

// The file name of an article saved under its headline text: the text plus ".htm". Characters
// a file name cannot hold (path separators, ":", "?", "*", "\"", "<", ">", "|") become their
// full-width forms, control characters become "_", surrounding spaces and dots go (a leading
// dot would hide the file), an over-long text is shortened, and a text that leaves nothing (or
// only "." / "..") or names a device becomes a safe name. The result never leaves the folder it is
// put in.
QString articleFileName(const QString &headline);
// Where the page of the article to be saved at `path` arrives before it is cleaned into `path`:
// beside it, with ".download" added.
QString articleArrivalPath(const QString &path);
// folder + "/News_save/" + articleFileName(headline).
QString articleFilePath(const QString &programFolder, const QString &headline);

// The name under which an article of a running batch is saved without replacing anything: the
// name itself when no file of that name exists in `newsFolder` and the batch has not claimed it
// (`taken`, file names), else "名字 (2).htm", "名字 (3).htm", … the first that is free. Names are
// compared as the file system does for existing files and exactly within `taken`. The caller
// adds the result to `taken`. Only looks at the folder; writes nothing.
QString uniqueArticleFileName(const QString &newsFolder, const QString &fileName,
                              const QSet<QString> &taken);
// The name a batch gives the next article of a headline text it has already given a name:
// "名字 (2).htm", "名字 (3).htm", … the first that `taken` does not hold. Files of earlier
// batches are not looked at, so the same rows downloaded again get the same names.
QString batchArticleFileName(const QString &fileName, const QSet<QString> &taken);

} // namespace mz
