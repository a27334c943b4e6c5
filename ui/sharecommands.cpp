#include "ui/sharecommands.h"

#include "platform/mailto.h"
#include "ui/windowstatus.h"

ShareCommands::ShareCommands(WindowStatus &status, QObject *parent)
    : QObject(parent), m_status(status)
{
}

bool ShareCommands::prepareMail(const std::optional<mz::HeadlineRow> &row)
{
    // The mail takes its headline from the hot news or search results alone: a row selected in
    // the archive or the favourites, whichever is on show, is not it, so the note names the list.
    if (!row) {
        m_status.setPanel(WindowStatus::Panel::S1,
                          QStringLiteral("请先在热点新闻或搜索结果中选中一条新闻，再发给好友。"));
        return false;
    }
    m_mailtoStr = mz::mailQuery(row->title, row->tag);
    return true;
}
