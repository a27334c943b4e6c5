#pragma once
// Short lines in panel "s1" that say why a list is empty, so that a blank list is never left
// without a word. A later note, or clear(), replaces the line; clear() leaves alone a text that
// another owner wrote over it in the meantime. A note about one list goes when another list is
// brought to the front: it would say that list is empty.

#include <QObject>
#include <QString>

class WindowStatus;

class EmptyStates : public QObject
{
    Q_OBJECT

public:
    explicit EmptyStates(WindowStatus &status, QObject *parent = nullptr);

    // The lists the notes are about: the hot news and search results, and the favorites.
    void setLists(const QObject *resultList, const QObject *favoritesList);

    static QString hotNewsMissing(const QString &dayLabel);
    static QString hotNewsOnTheirWay(const QString &dayLabel);
    // The hot news are missing while the day's archive is being fetched.
    static QString hotNewsAfterArchive(const QString &dayLabel);
    // With a capital letter in `query` the note offers the query in small letters.
    static QString noHits(const QString &query);
    static QString noFavorites();
    static QString nothingToSearch();
    static QString archiveOnItsWay(const QString &dayLabel);

    // The hot news of a day were shown: a note when the day has no stored page. While they are
    // being fetched (`fetching`) the note says so instead of sending the user to the tree menu,
    // whose download commands are off for a day being downloaded; while the day's archive is
    // (`archiveFetching`), it sends the user there for when the archive has arrived.
    void hotNewsShown(const QString &dayLabel, bool pageStored, bool fetching = false,
                      bool archiveFetching = false);
    // A search of the archive list ran (`ran` false: the selected node does not allow it, nothing
    // changed). Before any archive was read (`archiveRead` false) the note says there is nothing
    // to search, not "no hits", and either that the archive of the day `archiveComing` (a day
    // label) is on its way or, when none is, how to fetch one; an archive read without headlines
    // has no hits.
    void searchDone(const QString &query, qsizetype hits, bool archiveRead,
                    const QString &archiveComing, bool ran = true);
    // The favorites view was filled with `count` rows.
    void favoritesShown(qsizetype count);

    // A list came to the front: a note about another list goes.
    void listShown(const QObject *list);

    void note(const QString &text);
    void clear();

private:
    void noteAbout(const QObject *list, const QString &text);

    WindowStatus &m_status;
    QString m_last;
    const QObject *m_lastList = nullptr; // the list m_last is about; null: none in particular
    const QObject *m_resultList = nullptr;
    const QObject *m_favoritesList = nullptr;
};
