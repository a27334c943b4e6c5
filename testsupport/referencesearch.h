#pragma once
// The keyword search as defined, written the slow way, to check the real one on generated data:
// the query split at "+" into alternatives and each at "*" into words that must all occur
// (QString::contains); one hit per matching alternative. `literal` takes the query as one word.

#include <QList>
#include <QStringList>

namespace mz::test {

inline QList<int> referenceHits(const QStringList &titles, const QString &query,
                                bool literal = false)
{
    QList<QStringList> groups;
    if (literal || (!query.contains(u'+') && !query.contains(u'*'))) {
        groups.append(QStringList{query});
    } else {
        for (const QString &alternative : query.split(u'+'))
            groups.append(alternative.split(u'*'));
    }
    QList<int> hits;
    for (int i = 0; i < titles.size(); ++i) {
        const QString &title = titles.at(i);
        for (const QStringList &group : groups) {
            bool all = !title.isEmpty();
            for (const QString &word : group)
                all = all && title.contains(word);
            if (all)
                hits.append(i);
        }
    }
    return hits;
}

} // namespace mz::test
