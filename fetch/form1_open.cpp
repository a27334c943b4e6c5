// Form1: opening a headline's article page, or in ListView1 its comment page, in the system's
// browser, by a double click on the row or through pop1's "打开新闻" and "打开新闻评论".

#include "app/form1.h"

#include "lists/headline.h"
#include "platform/shell.h"

#include <QAction>
#include <QTreeView>
#include <QUrl>

#include <optional>

namespace {

// The row of `view` under its current index, as the view shows it; none when nothing is current.
std::optional<mz::HeadlineRow> currentRow(const Form1 &form, const QTreeView *view)
{
    if (!view)
        return std::nullopt;
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || current.row() >= form.shownRowCount(view))
        return std::nullopt;
    return form.shownRow(view, current.row());
}

// Only web pages and mail addresses leave the program: a relative or garbled address, or one
// naming a local file or a script, would otherwise be handed to whatever the desktop runs for it.
bool mayOpen(const QUrl &url)
{
    if (!url.isValid() || url.isRelative())
        return false;
    const QString scheme = url.scheme();
    if (scheme.compare(u"http", Qt::CaseInsensitive) == 0 ||
        scheme.compare(u"https", Qt::CaseInsensitive) == 0)
        return !url.host().isEmpty();
    if (scheme.compare(u"mailto", Qt::CaseInsensitive) == 0)
        return !url.path().isEmpty();
    return false;
}

} // namespace

void Form1::setupOpening()
{
    connect(ListView1, &QTreeView::doubleClicked, this, [this] { ListView1_DblClick(); });
    connect(ListView2, &QTreeView::doubleClicked, this, [this] { ListView2_DblClick(); });
    connect(ListView3, &QTreeView::doubleClicked, this, [this] { ListView3_DblClick(); });
    connect(s4, &QAction::triggered, this, [this] { s4_Click(); });
    connect(s41, &QAction::triggered, this, [this] { s41_Click(); });
}

// The comment marker is consumed only when there is a row to open; without a selected row the
// double click does nothing and the marker waits for the next one.
void Form1::ListView1_DblClick()
{
    const std::optional<mz::HeadlineRow> row = currentRow(*this, ListView1);
    if (!row)
        return;
    if (commentColumnHit) {
        commentColumnHit = false;
        shellOpen(row->sub2);
    } else {
        shellOpen(row->tag);
    }
}

void Form1::ListView2_DblClick()
{
    if (const std::optional<mz::HeadlineRow> row = currentRow(*this, ListView2))
        shellOpen(row->tag);
}

void Form1::ListView3_DblClick()
{
    if (const std::optional<mz::HeadlineRow> row = currentRow(*this, ListView3))
        shellOpen(row->tag);
}

// isHidden rather than isVisible: the view in front counts even while the window itself is not
// on screen.
void Form1::s4_Click()
{
    if (!ListView1->isHidden())
        ListView1_DblClick();
    if (!ListView2->isHidden())
        ListView2_DblClick();
    if (!ListView3->isHidden())
        ListView3_DblClick();
}

void Form1::s41_Click()
{
    commentColumnHit = true;
    ListView1_DblClick();
}

void Form1::shellOpen(const QString &address)
{
    if (!m_env.opener)
        return;
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!mayOpen(url))
        return;
    m_env.opener->open(url);
}
