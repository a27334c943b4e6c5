#include "ui/emptystates.h"

#include "ui/windowstatus.h"

EmptyStates::EmptyStates(WindowStatus &status, QObject *parent) : QObject(parent), m_status(status)
{
}

void EmptyStates::setLists(const QObject *resultList, const QObject *favoritesList)
{
    m_resultList = resultList;
    m_favoritesList = favoritesList;
}

QString EmptyStates::hotNewsMissing(const QString &dayLabel)
{
    return QStringLiteral("%1的热点新闻还没有下载：在这一天上按右键，选“下载当日热点新闻”。")
        .arg(dayLabel);
}

QString EmptyStates::hotNewsOnTheirWay(const QString &dayLabel)
{
    return QStringLiteral("%1的热点新闻正在下载，下载完就会显示在这里。").arg(dayLabel);
}

QString EmptyStates::hotNewsAfterArchive(const QString &dayLabel)
{
    return QStringLiteral("%1的热点新闻还没有下载：这一天的所有新闻正在下载，下载完后在这一天上"
                          "按右键，选“下载当日热点新闻”。")
        .arg(dayLabel);
}

QString EmptyStates::noHits(const QString &query)
{
    const QString none = QStringLiteral("没有找到与“%1”有关的新闻。").arg(query);
    // The archive keeps its titles in small letters, so a query with a capital letter finds
    // nothing however many headlines hold the word: say so, and what to search for instead.
    const QString lower = query.toLower();
    if (lower == query)
        return none;
    return none + QStringLiteral("新闻标题中的字母都是小写的，请搜索“%1”。").arg(lower);
}

QString EmptyStates::nothingToSearch()
{
    return QStringLiteral(
        "还没有载入所有新闻，没有可以搜索的标题：在日期上按右键，选“下载当日所有新闻”。");
}

QString EmptyStates::archiveOnItsWay(const QString &dayLabel)
{
    return QStringLiteral("%1的所有新闻正在下载，还没有可以搜索的标题：下载完后请再搜索一次。")
        .arg(dayLabel);
}

QString EmptyStates::noFavorites()
{
    return QStringLiteral("收藏夹是空的：在新闻上按右键，选“收藏此新闻”。");
}

void EmptyStates::hotNewsShown(const QString &dayLabel, bool pageStored, bool fetching,
                               bool archiveFetching)
{
    if (pageStored)
        clear();
    else if (fetching)
        noteAbout(m_resultList, hotNewsOnTheirWay(dayLabel));
    else if (archiveFetching)
        noteAbout(m_resultList, hotNewsAfterArchive(dayLabel));
    else
        noteAbout(m_resultList, hotNewsMissing(dayLabel));
}

void EmptyStates::searchDone(const QString &query, qsizetype hits, bool archiveRead,
                             const QString &archiveComing, bool ran)
{
    if (!ran)
        return;
    if (!archiveRead)
        noteAbout(m_resultList,
                  archiveComing.isEmpty() ? nothingToSearch() : archiveOnItsWay(archiveComing));
    else if (hits == 0)
        noteAbout(m_resultList, noHits(query));
    else
        clear();
}

void EmptyStates::favoritesShown(qsizetype count)
{
    if (count == 0)
        noteAbout(m_favoritesList, noFavorites());
    else
        clear();
}

void EmptyStates::listShown(const QObject *list)
{
    if (m_lastList && list != m_lastList)
        clear();
}

void EmptyStates::note(const QString &text)
{
    noteAbout(nullptr, text);
}

void EmptyStates::noteAbout(const QObject *list, const QString &text)
{
    m_last = text;
    m_lastList = list;
    m_status.setPanel(WindowStatus::Panel::S1, text);
}

void EmptyStates::clear()
{
    m_status.clearPanelIfShowing(WindowStatus::Panel::S1, m_last);
    m_last.clear();
    m_lastList = nullptr;
}
