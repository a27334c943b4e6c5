#pragma once
// The pages of the demo news portal, generated for any date.
//
// Every page is GBK text in the exact grammar that the program's parsers and article extraction
// read. Content is a pure function of the date (and of the entry number): the same day always
// gives the same bytes, whichever page is asked for first, so a test or a demo can fetch an
// article without having fetched its list.
//
// Addresses:
//   archive page        /old1000/news1000_<yyyymmdd>.shtml
//   hot news page       /hotnews/<yyyymmdd>.shtml, and /hotnews/ for today
//   article             /news/<yyyymmdd>/<n>.shtml      (n = 1-based entry number of that day)
//   comment page        /comment/<yyyymmdd>/<n>.shtml
//   program web site    /mozhou/
// All paths are lower case, so they survive the archive parser's lower-casing.

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace mz {

struct PortalHeadline
{
    QDate day;
    int number = 0;               // 1-based entry number within the day's archive
    QString category;             // one of the twenty categories; never empty
    QString title;                // plain text, may hold Latin capitals ("NBA", "CPU")
    bool emptyCategory = false;   // the archive lists it with empty brackets "[]"
    bool fontWrapped = false;     // the archive wraps the title in a <font> element
    bool absoluteAddress = false; // the archive writes base + path instead of the bare path
    QString path;                 // "/news/<yyyymmdd>/<n>.shtml"
};

class PortalGenerator
{
public:
    // baseUrl: scheme and host written into absolute links, e.g. "http://127.0.0.1:8086";
    // a trailing "/" is dropped.
    explicit PortalGenerator(QString baseUrl);

    QString baseUrl() const { return m_baseUrl; }

    // The twenty categories, in the order of the category icon table.
    static const QStringList &categories();
    // The seven hot news sections ("国内新闻" … "娱乐新闻") and the category each one draws from.
    static const QStringList &hotSections();
    static QString hotSectionCategory(int section);

    // Largest entry number that has an article (archive pages are capped at this many entries).
    static constexpr int kMaxEntries = 1000000;

    // Number of entries in the day's archive: a few hundred to a few thousand. Its first twenty
    // entries cover all twenty categories.
    int entryCount(QDate day) const;
    // Entry `number` (1-based, up to kMaxEntries) of the day; the same for every page size.
    PortalHeadline headline(QDate day, int number) const;
    // The entries of one hot news section (0 = 国内新闻 … 6 = 娱乐新闻), in page order.
    QList<PortalHeadline> hotHeadlines(QDate day, int section) const;

    static QString archivePath(QDate day);
    static QString hotNewsPath(QDate day);
    static QString liveHotNewsPath() { return QStringLiteral("/hotnews/"); }
    static QString articlePath(QDate day, int number);
    static QString commentPath(QDate day, int number);
    static QString sitePath() { return QStringLiteral("/mozhou/"); }
    QString url(const QString &path) const { return m_baseUrl + path; }

    // Pages, GBK encoded, each a complete HTML page ending in "</html>".
    QByteArray archivePage(QDate day) const;                 // entryCount(day) entries
    QByteArray archivePage(QDate day, int entryCount) const; // entries 1..entryCount (benchmarks)
    QByteArray hotNewsPage(QDate day) const;
    QByteArray articlePage(QDate day, int number) const;
    QByteArray commentPage(QDate day, int number) const;
    QByteArray sitePage() const;
    QByteArray indexPage(QDate today) const;
    QByteArray notFoundPage(const QString &path) const;

    // The article's paragraphs (plain text) and the advertisement's text, for tests that check
    // what extraction keeps and what it removes.
    QStringList articleParagraphs(QDate day, int number) const;
    static QString advertisementText();

private:
    QString m_baseUrl;
};

} // namespace mz
