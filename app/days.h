#pragma once
// Day values the program keys on: stamp (yyyymmdd), key ("k" + stamp), label (y-m-d, no
// leading zeros), and the days listed under "旧新闻".

#include <QDate>
#include <QList>
#include <QString>

namespace mz {

QString dayStamp(QDate d);  // 20070315
QString dayKey(QDate d);    // k20070315
QString dayLabel(QDate d);  // 2007-3-15
// Parses a day label back into a date (invalid when it is not one).
QDate parseDayLabel(const QString &label);
// The stamp of a key: every "k" removed.
QString stampOfKey(const QString &key);
// The stored archive page of a day: news1000_<stamp>.shtml
QString archiveFileName(QDate d);

// today - 1, today - 2, ... while i <= daysToKeep.
QList<QDate> oldDays(QDate today, double daysToKeep);

} // namespace mz
