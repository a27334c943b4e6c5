#include "ui/headlineview.h"

#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QResizeEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeView>

#include <optional>

namespace mz {

namespace {

// A row's tooltip shows its text as plain text. A tooltip takes text that looks like markup as
// rich text, and a title is whatever a page put inside its anchor: "<img src=...>" was shown as
// a picture read from a local file (a named pipe froze the window), "<b>" turned bold.
class PlainTextToolTips : public QObject
{
public:
    explicit PlainTextToolTips(QAbstractItemView *view) : QObject(view), m_view(view)
    {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = m_view->indexAt(help->pos());
        QString text = index.data(Qt::ToolTipRole).toString();
        // Text the tooltip would take as markup is escaped; its lines stay as they are.
        if (Qt::mightBeRichText(text))
            text = QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
                   QStringLiteral("</p>");
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, m_view->viewport(),
                               m_view->visualRect(index));
        return true;
    }

private:
    QAbstractItemView *m_view;
};

} // namespace

void attachHeadlineModel(QTreeView *view, HeadlineModel *model, QAbstractProxyModel *proxy)
{
    proxy->setParent(view);
    proxy->setSourceModel(model);
    view->setSortingEnabled(false);
    view->setUniformRowHeights(true); // keeps laying out 100,000 rows cheap
    view->setModel(proxy);
    // The columns keep their places: the comment column test, Ctrl+1/2/3 and the stored widths
    // go by them, so a header dragged elsewhere made a double click on a hot news row's category
    // open its comment page.
    view->header()->setSectionsMovable(false);
    // Titles get most of the room; the user can drag the columns.
    view->header()->resizeSection(0, 460);
    view->header()->resizeSection(1, 90);
    new PlainTextToolTips(view);
}

HeadlineSortProxy *attachSortedHeadlineModel(QTreeView *view, HeadlineModel *model)
{
    auto *proxy = new HeadlineSortProxy(view);
    attachHeadlineModel(view, model, proxy);
    return proxy;
}

void sortAscending(QTreeView *view, QAbstractProxyModel *proxy, int column)
{
    if (column < 0 || column >= proxy->columnCount())
        return;
    proxy->sort(column, Qt::AscendingOrder);
    view->header()->setSortIndicatorShown(true);
    view->header()->setSortIndicator(column, Qt::AscendingOrder);
}

namespace {

constexpr char kFitTitleAtFirstSize[] = "mzFitTitleAtFirstSize";

// The title column follows the view's width. It cannot be narrower than the header's minimum,
// so what a shrink could not take is owed: growing pays it back before the column widens, and
// the column comes back to its width when the view does. A width the user drags resets the
// account.
// The widths are laid out for a full-size window. A view first shown narrower than its columns
// (the window was fitted into a small screen) takes the difference from the title as well, so
// the columns after it are in sight without scrolling sideways; widths the user set are kept.
class TitleWidthFollower : public QObject
{
public:
    explicit TitleWidthFollower(QTreeView *view) : QObject(view), m_view(view)
    {
        view->viewport()->installEventFilter(this);
        connect(view->header(), &QHeaderView::sectionResized, this,
                [this](int section, int, int size) {
                    if (m_following)
                        return;
                    m_userSized = true;
                    if (section == 0)
                        m_wanted = size;
                });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            const auto *e = static_cast<QResizeEvent *>(event);
            // The change is measured on the view's width inside its frame, not the viewport's:
            // a scroll bar that comes and goes with the rows leaves the title as it is (else
            // the title, restored before the rows came, was stored narrower at every exit). A
            // view resized while hidden gets its new size when it is shown again; the change is
            // measured from the last width this view saw.
            const int width = m_view->width() - 2 * m_view->frameWidth();
            const std::optional<int> oldWidth = m_width;
            m_width = width;
            // The first size a view gets is no change; a view shrunk to no width at all is.
            if (oldWidth && width != *oldWidth) {
                QHeaderView *header = m_view->header();
                follow(m_wanted.value_or(header->sectionSize(0)) + width - *oldWidth);
            } else if (!oldWidth) {
                QHeaderView *header = m_view->header();
                const int room = e->size().width() - (header->length() - header->sectionSize(0));
                if ((!m_userSized || m_view->property(kFitTitleAtFirstSize).toBool()) &&
                    room < header->sectionSize(0))
                    follow(room);
            }
        }
        return false;
    }

private:
    void follow(int wanted)
    {
        m_wanted = wanted;
        m_following = true;
        m_view->header()->resizeSection(0, qMax(m_view->header()->minimumSectionSize(), wanted));
        m_following = false;
    }

    QTreeView *m_view;
    std::optional<int> m_wanted; // the title's width as the view's changes make it, unclamped
    bool m_following = false;
    bool m_userSized = false;   // a column was given its width by the user, or from a past session
    std::optional<int> m_width; // the view's inner width at the viewport's last resize, none before
};

} // namespace

void letTitleTakeExtraWidth(QTreeView *view)
{
    view->header()->setStretchLastSection(false);
    new TitleWidthFollower(view);
}

constexpr int kColumns = 3;

namespace {

int withTitleChange(const QHeaderView *header, int column, int width, int titleChange)
{
    return column == 0 && titleChange ? qMax(header->minimumSectionSize(), width + titleChange)
                                      : width;
}

} // namespace

QList<int> columnWidths(const QList<QTreeView *> &views, int titleChange)
{
    QList<int> widths;
    for (const QTreeView *view : views) {
        const QHeaderView *header = view->header();
        for (int c = 0; c < kColumns; ++c)
            widths << withTitleChange(header, c, header->sectionSize(c), titleChange);
    }
    return widths;
}

void setColumnWidths(const QList<QTreeView *> &views, const QList<int> &widths)
{
    if (widths.size() != views.size() * kColumns)
        return;
    for (qsizetype v = 0; v < views.size(); ++v)
        for (int c = 0; c < kColumns; ++c)
            views.at(v)->header()->resizeSection(c, widths.at(v * kColumns + c));
}

void fitTitleAtFirstSize(QTreeView *view)
{
    view->setProperty(kFitTitleAtFirstSize, true);
}

} // namespace mz
