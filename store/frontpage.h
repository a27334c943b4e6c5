#pragma once
// The personal front page: one day's archive rows ranked by the answers in flash.ini, rendered
// as a plain HTML page and saved beside the archive so that it opens again offline.
//
// Each interest question maps to archive categories and title words (interestTopics(), the one
// table). A row belongs to the first topic it matches at the highest level the user gave:
// "非常关心" sections come first, then "一般关心" sections, then "其他新闻" for rows of no
// answered topic. A row whose matched topics are all "一点不" is left out.

#include "lists/headline.h"
#include "store/flashini.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mz {

struct InterestTopic
{
    FlashGroup group;       // the interest question
    QString heading;        // section heading on the page
    QStringList categories; // archive categories (exact)
    QStringList titleWords; // words that mark a title
};

const QList<InterestTopic> &interestTopics();

struct FrontSection
{
    QString heading;
    int level = -1; // 2 非常关心, 1 一般关心, -1 the rest
    HeadlineRows rows;
    bool operator==(const FrontSection &) const = default;
};

// True when at least one interest question has an answer.
bool hasInterestAnswers(const FlashAnswers &answers);

// The non-empty sections in page order, rows in archive order within a section.
QList<FrontSection> rankFrontPage(const HeadlineRows &rows, const FlashAnswers &answers);

// A complete HTML document (declared GB18030, as it is saved). Only http and https addresses
// become links; every text is escaped.
QString renderFrontPage(const QList<FrontSection> &sections, const QString &dayLabel);

// "frontpage_<stamp>.html" in the folder of the archive file.
QString frontPagePath(const QString &archiveFile, const QString &stamp);

enum class FrontPageStatus {
    Ok,
    NoAnswers,      // nothing answered yet: offer the options dialog
    DamagedAnswers, // flash.ini unreadable or holding no valid interest answer but bad values
    NoArchive,      // the day's archive is not stored
    EmptyArchive,   // the stored archive holds no headline
    NotSaved,       // the page was built (html is set) but could not be saved
};

struct FrontPageResult
{
    FrontPageStatus status = FrontPageStatus::Ok;
    QString html;      // the page to show; empty unless Ok or NotSaved
    QString savedPath; // where the page was saved (Ok only)
    QString message;   // what to tell the user; empty when Ok
};

// The whole command for one day: read the answers and the stored archive, rank, render, save.
FrontPageResult makeFrontPage(const QString &flashIni, const QString &archiveFile,
                              const QString &portalBase, const QString &stamp,
                              const QString &dayLabel);

} // namespace mz
