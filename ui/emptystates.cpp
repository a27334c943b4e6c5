#include "ui/emptystates.h"

#include "ui/windowstatus.h"

EmptyStates::EmptyStates(WindowStatus &status, QObject *parent) : QObject(parent), m_status(status)
{
}

QString EmptyStates::hotNewsMissing(const QString &dayLabel)
{
    return QStringLiteral("%1的热点新闻还没有下载：在这一天上按右键，选“下载当日热点新闻”。")
        .arg(dayLabel);
}

QString EmptyStates::noHits(const QString &query)
{
    return QStringLiteral("没有找到与“%1”有关的新闻。").arg(query);
}

QString EmptyStates::noFavorites()
{
    return QStringLiteral("收藏夹是空的：在新闻上按右键，选“收藏此新闻”。");
}

void EmptyStates::hotNewsShown(const QString &dayLabel, bool pageStored)
{
    if (pageStored)
        clear();
    else
        note(hotNewsMissing(dayLabel));
}

void EmptyStates::searchDone(const QString &query, qsizetype hits, bool ran)
{
    if (!ran)
        return;
    if (hits == 0)
        note(noHits(query));
    else
        clear();
}

void EmptyStates::favoritesShown(qsizetype count)
{
    if (count == 0)
        note(noFavorites());
    else
        clear();
}

void EmptyStates::note(const QString &text)
{
    m_last = text;
    m_status.setPanel(WindowStatus::Panel::S1, text);
}

void EmptyStates::clear()
{
    if (!m_last.isEmpty() && m_status.panel(WindowStatus::Panel::S1) == m_last)
        m_status.setPanel(WindowStatus::Panel::S1, QString());
    m_last.clear();
}
