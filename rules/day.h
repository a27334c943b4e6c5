#pragma once
// Day values the program keys on: stamp (yyyymmdd), key ("k" + stamp), label (y-m-d, no
// leading zeros), and the days listed under "旧新闻".

#include <QDate>
#include <QList>
#include <QMetaType>
#include <QString>

namespace mz {

QString dayStamp(QDate d); // 20070315
QString dayKey(QDate d);   // k20070315
QString dayLabel(QDate d); // 2007-3-15
// Parses a day label back into a date (invalid when it is not one).
QDate parseDayLabel(const QString &label);
// The stamp of a key: every "k" removed.
QString stampOfKey(const QString &key);
// The stored archive page of a day: news1000_<stamp>.shtml
QString archiveFileName(QDate d);

// today - 1, today - 2, ... while i <= daysToKeep.
QList<QDate> oldDays(QDate today, double daysToKeep);

// One day as the program names it, built once from its date: the tree key of its node, the
// node's text and the stamp in its page addresses all come from here.
struct Day
{
    QDate date;
    QString key;   // "k20070315"
    QString label; // "2007-3-15"

    bool isValid() const { return date.isValid(); }
    QString stamp() const { return dayStamp(date); }
    bool operator==(const Day &other) const { return date == other.date; }

    static Day of(QDate d);
    // The day of a day node's key ("k" followed by a valid yyyymmdd); invalid for any other key.
    static Day fromKey(const QString &key);
};

} // namespace mz

Q_DECLARE_METATYPE(mz::Day)
