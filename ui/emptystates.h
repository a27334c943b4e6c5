#pragma once
// Short lines in panel "s1" that say why a list is empty, so that a blank list is never left
// without a word. A later note, or clear(), replaces the line; clear() leaves alone a text that
// another owner wrote over it in the meantime.

#include <QObject>
#include <QString>

class WindowStatus;

class EmptyStates : public QObject
{
    Q_OBJECT

public:
    explicit EmptyStates(WindowStatus &status, QObject *parent = nullptr);

    static QString hotNewsMissing(const QString &dayLabel);
    static QString noHits(const QString &query);
    static QString noFavorites();

    // The hot news of a day were shown: a note when the day has no stored page.
    void hotNewsShown(const QString &dayLabel, bool pageStored);
    // A search ran (`ran` false: the selected node does not allow it, nothing changed).
    void searchDone(const QString &query, qsizetype hits, bool ran = true);
    // The favorites view was filled with `count` rows.
    void favoritesShown(qsizetype count);

    void note(const QString &text);
    void clear();

private:
    WindowStatus &m_status;
    QString m_last;
};
