#include "rules/day.h"

#include <QRegularExpression>

namespace mz {

QString dayStamp(QDate d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QString dayKey(QDate d)
{
    return QLatin1Char('k') + dayStamp(d);
}

QString dayLabel(QDate d)
{
    return QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
}

QDate parseDayLabel(const QString &label)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})-(\\d{1,2})-(\\d{1,2})\\s*$"));
    const auto m = re.match(label);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QString stampOfKey(const QString &key)
{
    QString s = key;
    s.remove(QLatin1Char('k'));
    return s;
}

QString archiveFileName(QDate d)
{
    return QStringLiteral("news1000_") + dayStamp(d) + QStringLiteral(".shtml");
}

QList<QDate> oldDays(QDate today, double daysToKeep)
{
    QList<QDate> days;
    // A huge or nonsensical value must not make start-up build an endless tree.
    constexpr int kMaxDays = 3660;
    for (int i = 1; i <= daysToKeep && i <= kMaxDays; ++i)
        days << today.addDays(-i);
    return days;
}

Day Day::of(QDate d)
{
    if (!d.isValid())
        return {};
    return {d, dayKey(d), dayLabel(d)};
}

Day Day::fromKey(const QString &key)
{
    if (key.size() != 9 || !key.startsWith(QLatin1Char('k')))
        return {};
    for (int i = 1; i < key.size(); ++i) {
        if (!key.at(i).isDigit() || key.at(i).unicode() > '9')
            return {};
    }
    return of(QDate::fromString(key.mid(1), QStringLiteral("yyyyMMdd")));
}

} // namespace mz
