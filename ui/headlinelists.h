#pragma once
// The three headline lists: ListView1 (hot news or the hits of a search, with tick boxes),
// ListView2 (the whole archive of the day listed last) and ListView3 (the favorites), their
// models and sorting proxies, which of them is in front, and the comment column marker.

#include "lists/headline.h"
#include "search/rowsource.h"

#include <QIcon>
#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class QTreeView;
class QWidget;
class WindowStatus;

namespace mz {
class ArchivePageText;
class HeadlineModel;
class HeadlineSortProxy;
class MessageFunnel;
} // namespace mz

class HeadlineLists : public QObject
{
    Q_OBJECT

public:
    HeadlineLists(QTreeView *listView1, QTreeView *listView2, QTreeView *listView3,
                  const QList<QIcon> &images, const QString &portalBase, WindowStatus &status,
                  mz::MessageFunnel *messages, QObject *parent = nullptr);
    ~HeadlineLists() override;

    QTreeView *listView3() const { return m_views[2]; }
    mz::HeadlineModel *model1() const { return m_model1; }
    mz::HeadlineModel *model2() const { return m_model2; }
    mz::HeadlineModel *model3() const { return m_model3; }
    mz::HeadlineSortProxy *proxy1() const { return m_proxy1; }
    mz::HeadlineSortProxy *proxy2() const { return m_proxy2; }
    mz::HeadlineSortProxy *proxy3() const { return m_proxy3; }

    // Appends the stored archive page `archiveFile` to ListView2, letting pending events run
    // while it fills; a missing page says "你还没有下载今日新闻". A newer list() started from
    // inside the event pump stops this one, so the rows of two pages never mix.
    void list(const QString &archiveFile);
    // Stops a list() that is filling ListView2 at its next run of the event pump. A closed window
    // calls it: the rest of a page of a million entries would keep the program (and the folder's
    // lock) for seconds after the window was gone.
    void stopListing() { ++m_listGeneration; }
    // Appends the stored hot news page `hotFile` to ListView1; a missing page adds nothing, and
    // one that cannot be read (no plain file, far too large) says why.
    void listHot(const QString &hotFile);

    // Sorts `view` ascending by a clicked column (0-based); ListView3 never sorts.
    void sortBy(QTreeView *view, int column);

    // The comment column marker describes the last mouse press in ListView1 (x in viewport
    // coordinates): set when it lay right of the first two columns, cleared otherwise. A double
    // click (whose press sets the marker) opens the comment page only when it hit that column.
    void pressInListView1(int x);
    bool commentColumnHit() const { return m_commentColumnHit; }
    void setCommentColumnHit(bool hit) { m_commentColumnHit = hit; }

    // Shows one list view in front and hides the other two (the browser pane stays as it is).
    void show(QTreeView *view);
    // The list view in front, or null when none is shown.
    QTreeView *shownView() const;

    // Row i (0-based) of a view as the view shows it (after sorting).
    int shownRowCount(const QTreeView *view) const;
    mz::HeadlineRow shownRow(const QTreeView *view, int i) const;
    // The row under the view's current index; none when nothing is current.
    std::optional<mz::HeadlineRow> currentRow(const QTreeView *view) const;
    // All rows of ListView1 as shown.
    mz::HeadlineRows shownRows(const QTreeView *view) const;
    // The archive list's rows in the order ListView2 shows them, for the searches.
    mz::RowSource archiveRows() const;
    // Whether a search has an archive to read: ListView2 holds rows, or the last list() read a
    // whole page that held none (a day without headlines yet).
    bool archiveToSearch() const;

    void clearHotList();

Q_SIGNALS:
    // Mouse presses and releases on a list's viewport, in viewport coordinates.
    void pressed(QTreeView *view, Qt::MouseButton button, QPoint pos);
    void released(QTreeView *view, Qt::MouseButton button, QPoint pos);
    // A list() ran to its end: ListView2 holds the whole archive page.
    void archiveListed();
    // A list was brought to the front (whatever else lay in its place is covered).
    void listShown(QTreeView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeView *viewOfViewport(QObject *viewport) const;
    mz::HeadlineSortProxy *proxyOf(const QTreeView *view) const;
    mz::HeadlineModel *modelOf(const QTreeView *view) const;

    QTreeView *m_views[3];
    QWidget *m_viewports[3] = {};
    QString m_portalBase; // relative article addresses of the archive are joined to it
    WindowStatus &m_status;
    mz::MessageFunnel *m_messages;
    mz::HeadlineModel *m_model1, *m_model2, *m_model3;
    mz::HeadlineSortProxy *m_proxy1, *m_proxy2, *m_proxy3;
    bool m_commentColumnHit = false;
    quint64 m_listGeneration = 0; // a parse interrupted by a newer one stops
    bool m_archiveRead = false;   // the last list() ran to its end
    // The decoded page of the last list(), kept so that the next one reuses its memory.
    std::unique_ptr<mz::ArchivePageText> m_pageText;
};
