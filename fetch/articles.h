#pragma once
// Article extraction: the marker file fenli.ini, cutting title and body out of an article page,
// filling the page template template.ini, and the file name an article is saved under.
//
// Marker searches are case-insensitive (fenli.ini is lower-cased when read) while the title and
// body keep the case and markup of the page. Nothing here touches the disk.

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
    enum class Status { Ok, TitleStartMissing, TitleEndMissing, BodyStartMissing, BodyEndMissing };
    Status status = Status::Ok;
    QString title, body; // as the page writes them
    QString page;        // the filled template; empty unless status is Ok
    bool ok() const { return status == Status::Ok; }
};

// Removes the advertisement, cuts title and body out of the page and fills the template:
// every "[新闻名字]" becomes the title, then every "[新闻内容]" the body. A page that lacks a
// marker gives a status other than Ok and no page.
Extraction extractArticle(const QString &article, const ArticleMarkers &markers,
                          const QString &templateText);

// A short text naming the marker a failed extraction did not find.
QString extractionProblem(Extraction::Status status);

// The file name of an article saved under its headline text: the text plus ".htm". Characters
// a file name cannot hold (path separators, ":", "?", "*", "\"", "<", ">", "|") become their
// full-width forms, control characters become "_", surrounding spaces and dots go (a leading
// dot would hide the file), an over-long text is shortened, and a text that leaves nothing (or
// only "." / "..") or names a device becomes a safe name. The result never leaves the folder it is put in.
QString articleFileName(const QString &headline);
// folder + "/News_save/" + articleFileName(headline).
QString articleFilePath(const QString &programFolder, const QString &headline);

} // namespace mz
