#include "ui/favoritescommands.h"

#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "store/favorites.h"
#include "ui/headlinelists.h"
#include "ui/windowstatus.h"

#include <QTreeView>

FavoritesCommands::FavoritesCommands(HeadlineLists &lists, WindowStatus &status,
                                     const QString &folder, QObject *parent)
    : QObject(parent), m_lists(lists), m_status(status), m_path(mz::favoritesPath(folder))
{
}

void FavoritesCommands::store(const std::optional<mz::HeadlineRow> &row)
{
    if (!row)
        return;
    const mz::FavoritesResult result = mz::addFavorite(m_path, row->title, row->tag);
    if (!result.ok())
        tell(result.message);
    else
        forgetNote();
}

bool FavoritesCommands::showFavorites()
{
    const mz::FavoritesResult result = mz::readFavorites(m_path);
    mz::HeadlineModel *model = m_lists.model3();
    model->clear();
    if (!result.ok())
        tell(result.message);
    else
        forgetNote();
    mz::HeadlineRows rows;
    rows.reserve(result.favorites.size());
    for (const mz::Favorite &favorite : result.favorites) {
        mz::HeadlineRow row;
        row.title = favorite.title;
        row.tag = favorite.address;
        rows << row;
    }
    model->append(std::move(rows));
    m_lists.show(m_lists.listView3());
    return result.ok();
}

void FavoritesCommands::removeSelected()
{
    QTreeView *view = m_lists.listView3();
    if (m_lists.shownView() != view)
        return;
    const QModelIndex current = view->currentIndex();
    const std::optional<mz::HeadlineRow> row = m_lists.currentRow(view);
    if (!row)
        return;
    const mz::FavoritesResult result = mz::removeFavorite(m_path, row->title, row->tag);
    // A favourite that is no longer in the file leaves the view as well.
    if (!result.ok())
        tell(result.message);
    else
        forgetNote();
    if (result.ok() || result.status == mz::FavoritesResult::Status::NotFound) {
        mz::HeadlineRows rows = m_lists.model3()->rows();
        rows.removeAt(m_lists.proxy3()->sourceRow(current.row()));
        m_lists.model3()->clear();
        m_lists.model3()->append(std::move(rows));
        // The row that took the removed one's place (the last, when the last went) becomes
        // current: refilled, the view had no current row, and the keyboard's focus and a screen
        // reader were left on none.
        const int count = view->model()->rowCount();
        if (count > 0)
            view->setCurrentIndex(
                view->model()->index(qMin(current.row(), count - 1), current.column()));
    }
}

void FavoritesCommands::tell(const QString &message)
{
    m_told = message;
    m_status.setPanel(WindowStatus::Panel::S1, message);
}

// A failure told earlier ("…新闻没有收藏。") would otherwise stand beside a favourite that was
// stored, removed or read after all, as if this command had failed too. Another owner's message
// stays.
void FavoritesCommands::forgetNote()
{
    m_status.clearPanelIfShowing(WindowStatus::Panel::S1, m_told);
    m_told.clear();
}
