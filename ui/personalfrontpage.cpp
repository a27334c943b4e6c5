#include "ui/personalfrontpage.h"

#include "platform/messages.h"
#include "rules/day.h"
#include "store/flashini.h"
#include "store/frontpage.h"
#include "ui/windowstatus.h"

#include <QDir>
#include <QTextBrowser>
#include <QUrl>

PersonalFrontPage::PersonalFrontPage(QTextBrowser *browser, const QString &folder,
                                     const QString &portalBase, mz::MessageFunnel *messages,
                                     WindowStatus &status, QObject *parent)
    : QObject(parent), m_browser(browser), m_folder(folder), m_portalBase(portalBase),
      m_messages(messages), m_status(status)
{
}

QString PersonalFrontPage::archiveOnItsWay(const QString &dayLabel)
{
    return QStringLiteral("%1的所有新闻正在下载，下载完后请再选“根据你的喜好生成当日新闻首页”。")
        .arg(dayLabel);
}

PersonalFrontPage::Outcome PersonalFrontPage::build(const mz::Day &day, const QString &archiveFile,
                                                    bool archiveComing)
{
    m_savedPath.clear();
    if (!day.isValid()) {
        tell(QStringLiteral("请先在左边选择一天，再生成当日新闻首页。"));
        return Outcome::Failed;
    }
    const mz::FrontPageResult result = mz::makeFrontPage(mz::flashIniPath(m_folder), archiveFile,
                                                         m_portalBase, day.stamp(), day.label);
    switch (result.status) {
    case mz::FrontPageStatus::Ok:
    case mz::FrontPageStatus::NotSaved:
        // The saved file is the page's base, so that it reads the same offline.
        m_browser->document()->setBaseUrl(QUrl::fromLocalFile(result.savedPath));
        m_browser->setHtml(result.html);
        m_savedPath = result.savedPath;
        if (result.status == mz::FrontPageStatus::NotSaved)
            tell(result.message);
        else
            m_status.setPanel(WindowStatus::Panel::S1,
                              QStringLiteral("%1的新闻首页已保存：%2")
                                  .arg(day.label, QDir::toNativeSeparators(result.savedPath)));
        return Outcome::Shown;
    case mz::FrontPageStatus::NoAnswers:
        tell(result.message);
        return Outcome::NoAnswers;
    case mz::FrontPageStatus::NoArchive:
    case mz::FrontPageStatus::EmptyArchive:
        if (archiveComing) {
            tell(archiveOnItsWay(day.label));
            return Outcome::Failed;
        }
        break;
    case mz::FrontPageStatus::DamagedAnswers:
        break;
    }
    tell(result.message);
    return Outcome::Failed;
}

void PersonalFrontPage::tell(const QString &text)
{
    m_status.setPanel(WindowStatus::Panel::S1, text);
    if (m_messages)
        m_messages->show(text, QStringLiteral("提示"), mz::MessageIcon::Information);
}
