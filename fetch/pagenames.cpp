#include "fetch/pagenames.h"

#include "rules/day.h"

#include <limits>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace mz {

bool isClosedDay(QDate day, QDate today)
{
    return day.isValid() && today.isValid() && day < today;
}

QString archivePageUrl(const QString &base, const QString &stamp)
{
    return base + QStringLiteral("/old1000/news1000_") + stamp + QStringLiteral(".shtml");
}

QString hotPageUrl(const QString &base, const QString &stamp)
{
    return base + QStringLiteral("/hotnews/") + stamp + QStringLiteral(".shtml");
}

QString liveHotPageUrl(const QString &base)
{
    return base + QStringLiteral("/hotnews/");
}

QString lastSegment(const QString &url)
{
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

QString finalCopyPath(const QString &folder, const QString &fileName)
{
    return QDir(folder).filePath(fileName);
}

QString provisionalCopyPath(const QString &folder, const QString &fileName)
{
    return QDir(folder).filePath(QStringLiteral("No") + fileName);
}

PageTarget pageTarget(PageKind kind, const QString &base, const QString &folder, const Day &day,
                      QDate today, bool liveHotNewsForOpenDay)
{
    const QString stamp = day.stamp();
    PageTarget t;
    t.url = kind == PageKind::Archive ? archivePageUrl(base, stamp) : hotPageUrl(base, stamp);
    const QString name = lastSegment(t.url);
    t.finalFile = finalCopyPath(folder, name);
    t.provisionalFile = provisionalCopyPath(folder, name);
    t.closed = isClosedDay(day.date, today);
    t.file = t.closed ? t.finalFile : t.provisionalFile;
    // The live page holds the news of today only: a day after today (the clock was set back
    // while the tree kept the later day) would store today's news under its own name.
    if (kind == PageKind::HotNews && day.date == today && liveHotNewsForOpenDay)
        t.url = liveHotPageUrl(base);
    return t;
}

bool isStoredPageName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(No)?(news1000_)?[0-9]{8}\\.shtml$"));
    return pattern.match(name).hasMatch();
}

QString storedCopy(const PageTarget &target)
{
    const QString &other = target.closed ? target.provisionalFile : target.finalFile;
    if (!QFileInfo::exists(target.file) && QFileInfo::exists(other))
        return other;
    return target.file;
}

bool mayHoldPageOf(const QString &file, QDate day)
{
    const QFileInfo info(file);
    if (!info.exists())
        return false;
    const QDateTime written = info.lastModified();
    return !written.isValid() || !day.isValid() || written.date() >= day;
}

QString kilobyteText(qint64 bytes)
{
    if (bytes < 0)
        bytes = 0;
    qint64 k = bytes / 1024;
    const qint64 rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && (k % 2) == 1))
        ++k;
    return QString::number(k) + QLatin1Char('K');
}

int progressPercent(qint64 received, qint64 total)
{
    if (total <= 0)
        return -1;
    received = qBound<qint64>(0, received, total);
    // Beyond 92 petabytes the exact product would overflow; a close figure is good enough there.
    const qint64 percent = received <= std::numeric_limits<qint64>::max() / 100
                               ? received * 100 / total
                               : qint64(double(received) / double(total) * 100);
    return int(qMin<qint64>(100, percent));
}

QString progressText(qint64 received, qint64 total)
{
    const int percent = progressPercent(received, total);
    const QString kilobytes = kilobyteText(received);
    return percent < 0 ? kilobytes : kilobytes + QStringLiteral("（%1%）").arg(percent);
}

} // namespace mz
