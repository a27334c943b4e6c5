#include "ui/linkopener.h"

#include "platform/shell.h"
#include "ui/windowstatus.h"

#include <QUrl>

LinkOpener::LinkOpener(mz::UrlOpener *opener, WindowStatus &status, QObject *parent)
    : QObject(parent), m_opener(opener), m_status(status)
{
}

bool LinkOpener::openPageAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return false;
    // Read as the download component reads it, so that an article that can be downloaded can
    // be opened too.
    const QUrl url = mz::webAddress(trimmed);
    if (url.isEmpty()) {
        m_status.setPanel(WindowStatus::Panel::S1,
                          QStringLiteral("不是网页地址，未打开：") + trimmed);
        return false;
    }
    return hand(url, trimmed);
}

bool LinkOpener::openMail(const QUrl &mail)
{
    if (!mail.isValid() || mail.scheme().compare(u"mailto", Qt::CaseInsensitive) != 0)
        return false;
    return hand(mail, mail.toString());
}

bool LinkOpener::hand(const QUrl &url, const QString &shown)
{
    if (m_opener && m_opener->open(url))
        return true;
    m_status.setPanel(WindowStatus::Panel::S1, QStringLiteral("无法打开地址：") + shown);
    return false;
}
