#include "ui/sharecommands.h"

#include "platform/mailto.h"
#include "ui/windowstatus.h"

ShareCommands::ShareCommands(WindowStatus &status, QObject *parent)
    : QObject(parent), m_status(status)
{
}

bool ShareCommands::prepareMail(const std::optional<mz::HeadlineRow> &row)
{
    if (!row) {
        m_status.setPanel(WindowStatus::Panel::S1,
                          QStringLiteral("请先在新闻列表中选中一条新闻，再发给好友。"));
        return false;
    }
    m_mailtoStr = mz::mailQuery(row->title, row->tag);
    return true;
}
