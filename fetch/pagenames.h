#pragma once
// Naming rules for the stored portal pages and the small texts the downloads show.
//
// A day (rules/day.h) gives the stamp of its addresses and its date. A closed day (earlier
// than today) keeps its page under the plain name of the address' last segment (the final copy);
// the open day's page is still changing and is stored with the prefix "No" (the provisional
// copy). Both live directly in the program folder.

#include "rules/day.h"

#include <QDate>
#include <QString>

namespace mz {

// A day is closed when its date is earlier than today. A date that could not be read counts as
// open, so a doubtful day never touches a final copy.
bool isClosedDay(QDate day, QDate today);

QString archivePageUrl(const QString &base,
                       const QString &stamp); // base/old1000/news1000_<stamp>.shtml
QString hotPageUrl(const QString &base, const QString &stamp); // base/hotnews/<stamp>.shtml
QString liveHotPageUrl(const QString &base);                   // base/hotnews/

// Everything after the last "/" of an address.
QString lastSegment(const QString &url);

QString finalCopyPath(const QString &folder, const QString &fileName);
QString provisionalCopyPath(const QString &folder, const QString &fileName);

// Where one page of one day comes from and where it is kept.
struct PageTarget
{
    QString url;       // the address to fetch or to remember
    QString file;      // the stored copy for this day: final when closed, provisional when open
    QString finalFile; // folder/<name>
    QString provisionalFile; // folder/No<name>
    bool closed = false;
};

enum class PageKind { Archive, HotNews };

// The page of a day. For a download of today's hot news the address is the live page
// (`liveHotNewsForOpenDay` true); the file name always comes from the dated address. A day after
// today is open but fetched from its dated address.
PageTarget pageTarget(PageKind kind, const QString &base, const QString &folder, const Day &day,
                      QDate today, bool liveHotNewsForOpenDay = false);

// Whether `name` is one a stored page can have: the last segment of an archive or dated hot news
// address ("news1000_20070315.shtml", "20070315.shtml"), with or without the prefix "No".
bool isStoredPageName(const QString &name);

// The stored copy that shows a day's page: the day's own copy; for a closed day without a final
// copy, the provisional copy kept from while the day was open (the program ran across midnight,
// or was last used on that day). Fetching the closed day again replaces it with the final copy.
// An open day without a provisional copy shows its final copy: one fetched while the system
// clock ran ahead and was then set back, or in a time zone where the day had ended.
QString storedCopy(const PageTarget &target);

// Whether `file` may hold the page of `day`: it exists and was not written before the day began.
// One written earlier was stored while the system clock ran ahead, from the page of an earlier
// day.
bool mayHoldPageOf(const QString &file, QDate day);

// Bytes received shown in kilobytes: n / 1024 rounded to the nearest integer, halves to the even
// neighbour, followed by "K" (57800 -> "56K", 2560 -> "2K", 1536 -> "2K").
QString kilobyteText(qint64 bytes);

// The share of a transfer received, 0 to 100, rounded down so that 100 means everything
// arrived; -1 when the length is unknown (total of 0 or less, as when the server sends none).
int progressPercent(qint64 received, qint64 total);
// The text of a download instance's progress bar: kilobytes received, and the percentage when
// the length is known ("56K", "56K（37%）").
QString progressText(qint64 received, qint64 total);

} // namespace mz
