#include "ui/headlinelists.h"

#include "lists/archiveparser.h"
#include "lists/headlinemodel.h"
#include "lists/headlinesortproxy.h"
#include "lists/hotparser.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "ui/headlineview.h"
#include "ui/windowstatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QTreeView>

namespace {

// Longest time a list() lets pass between two runs of the event pump (unless one chunk of rows
// takes longer): well below what a user notices.
constexpr qint64 kPumpIntervalMs = 10;

// A hot news page holds a few hundred headlines; one far larger is no such page.
constexpr qint64 kMaxHotPageBytes = 64 * 1024 * 1024;

QString progressCaption(qsizetype found)
{
    return WindowStatus::idleCaption() + QStringLiteral("  第") + QString::number(found) +
           QStringLiteral("条");
}

} // namespace

HeadlineLists::HeadlineLists(QTreeView *listView1, QTreeView *listView2, QTreeView *listView3,
                             const QList<QIcon> &images, const QString &portalBase,
                             WindowStatus &status, mz::MessageFunnel *messages, QObject *parent)
    : QObject(parent), m_views{listView1, listView2, listView3}, m_portalBase(portalBase),
      m_status(status), m_messages(messages)
{
    using Kind = mz::HeadlineModel::Kind;
    m_model1 = new mz::HeadlineModel(Kind::Hot, this);
    m_model2 = new mz::HeadlineModel(Kind::Archive, this);
    m_model3 = new mz::HeadlineModel(Kind::Favorites, this);
    m_proxy1 = mz::attachSortedHeadlineModel(listView1, m_model1);
    m_proxy2 = mz::attachSortedHeadlineModel(listView2, m_model2);
    m_proxy3 = mz::attachSortedHeadlineModel(listView3, m_model3);
    m_pageText = std::make_unique<mz::ArchivePageText>();

    // The provider keeps its own (shared) copy of the pictures: the views still ask for icons
    // while the window is being destroyed.
    const auto icon = [pictures = images](int index) -> QVariant {
        if (index > 0 && index < pictures.size())
            return pictures.at(index);
        return {};
    };
    for (mz::HeadlineModel *model : {m_model1, m_model2, m_model3})
        model->setIconProvider(icon); // the favorites model shows no icons whatever it holds

    listView1->header()->setSectionsClickable(true);
    listView2->header()->setSectionsClickable(true);
    listView3->header()->setSectionsClickable(false); // the favorites are never sorted
    for (int i = 0; i < 3; ++i) {
        m_viewports[i] = m_views[i]->viewport();
        m_viewports[i]->installEventFilter(this);
    }
}

HeadlineLists::~HeadlineLists() = default;

// ---- filling --------------------------------------------------------------------------------

void HeadlineLists::list(const QString &archiveFile)
{
    const quint64 generation = ++m_listGeneration;
    m_archiveRead = false;
    QPointer<HeadlineLists> self(this);
    m_proxy2->beginBulkFill(); // a sorted list puts the rows in place once, at the end
    // The rows go into the model straight from the page text as it is decoded, and the caption
    // counts them after each full chunk; the last, shorter chunk is added without either. The
    // event pump runs after the first full chunk and then after a full chunk whenever
    // kPumpIntervalMs have passed: the window answers as soon as it would if it pumped after
    // every chunk, while a large page does not pay for thousands of pumps with nothing to do.
    QElapsedTimer sincePump;
    const std::optional<mz::ArchiveScanResult> scanned = m_pageText->scanFile(
        archiveFile, m_portalBase,
        [this, self, generation, &sincePump](std::span<const mz::HeadlineRef> chunk,
                                             qsizetype found) {
            m_model2->append(chunk);
            if (qsizetype(chunk.size()) < mz::kArchiveChunkSize)
                return true;
            m_status.setCaption(progressCaption(found));
            if (sincePump.isValid() && sincePump.elapsed() < kPumpIntervalMs)
                return true; // nothing else has run since the last check
            QCoreApplication::processEvents();
            sincePump.start();
            return self && m_listGeneration == generation;
        },
        [this](qsizetype entries) { m_model2->expectRows(entries); });
    if (!scanned) {
        if (!self)
            return;
        m_proxy2->endBulkFill();
        if (m_listGeneration == generation && m_model2->rowCount() > 0) {
            m_model2->clear(); // no half list from a file that could not be read to its end
            m_status.setIdle();
        }
        if (m_messages)
            m_messages->show(QStringLiteral("你还没有下载今日新闻"), QStringLiteral("提示"),
                             mz::MessageIcon::None);
        return;
    }
    const mz::ArchiveScanResult &result = *scanned;
    if (self && result.stopped)
        m_proxy2->endBulkFill();
    if (result.stopped) {
        // Superseded (the newer run has finished by now) or the window is gone.
        if (self &&
            m_status.caption().startsWith(WindowStatus::idleCaption() + QStringLiteral("  第")))
            m_status.setIdle();
        return;
    }
    m_proxy2->endBulkFill();
    m_status.setPanel(WindowStatus::Panel::S1, QStringLiteral("所有共") +
                                                   QString::number(result.found) +
                                                   QStringLiteral("条"));
    m_status.setIdle();
    m_archiveRead = true;
    Q_EMIT archiveListed();
}

void HeadlineLists::listHot(const QString &hotFile)
{
    mz::ReadProblem problem = mz::ReadProblem::None;
    const std::optional<QByteArray> page = mz::readFileBytes(hotFile, kMaxHotPageBytes, &problem);
    if (!page) {
        // Something that is no page under the page's name (a folder, a FIFO, a device, a file
        // far too large for a hot news page) is left as it is, and the user learns why the list
        // stays empty; a page not stored yet needs no word.
        if (problem != mz::ReadProblem::Missing && m_messages)
            m_messages->show(QStringLiteral("热点新闻文件 %1 %2，没有读取。")
                                 .arg(QDir::toNativeSeparators(hotFile),
                                      mz::readProblemText(problem, kMaxHotPageBytes)),
                             QStringLiteral("提示"), mz::MessageIcon::Warning);
        return;
    }
    mz::HeadlineRows rows = mz::parseHotPage(*page);
    const qsizetype found = rows.size();
    m_model1->append(std::move(rows));
    m_status.setPanel(WindowStatus::Panel::S1, QStringLiteral("热点新闻共") +
                                                   QString::number(found) + QStringLiteral("条!"));
}

void HeadlineLists::clearHotList()
{
    m_model1->clear();
}

// ---- sorting, marker, showing -----------------------------------------------------------------

void HeadlineLists::sortBy(QTreeView *view, int column)
{
    if (view == m_views[2])
        return;
    mz::sortAscending(view, proxyOf(view), column);
}

void HeadlineLists::pressInListView1(int x)
{
    const QHeaderView *header = m_views[0]->header();
    const int w = header->sectionSize(0) + header->sectionSize(1);
    m_commentColumnHit = w < x + header->offset();
}

void HeadlineLists::show(QTreeView *view)
{
    view->raise();
    view->show();
    for (QTreeView *other : m_views) {
        if (other != view)
            other->hide();
    }
    Q_EMIT listShown(view);
}

// isHidden rather than isVisible: the view in front counts even while the window itself is not
// on screen.
QTreeView *HeadlineLists::shownView() const
{
    for (QTreeView *view : m_views) {
        if (!view->isHidden())
            return view;
    }
    return nullptr;
}

// ---- rows as shown ----------------------------------------------------------------------------

mz::HeadlineSortProxy *HeadlineLists::proxyOf(const QTreeView *view) const
{
    return view == m_views[0] ? m_proxy1 : view == m_views[1] ? m_proxy2 : m_proxy3;
}

mz::HeadlineModel *HeadlineLists::modelOf(const QTreeView *view) const
{
    return view == m_views[0] ? m_model1 : view == m_views[1] ? m_model2 : m_model3;
}

int HeadlineLists::shownRowCount(const QTreeView *view) const
{
    return view && view->model() ? view->model()->rowCount() : 0;
}

mz::HeadlineRow HeadlineLists::shownRow(const QTreeView *view, int i) const
{
    return modelOf(view)->row(proxyOf(view)->sourceRow(i));
}

std::optional<mz::HeadlineRow> HeadlineLists::currentRow(const QTreeView *view) const
{
    if (!view)
        return std::nullopt;
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || current.row() >= shownRowCount(view))
        return std::nullopt;
    return shownRow(view, current.row());
}

mz::HeadlineRows HeadlineLists::shownRows(const QTreeView *view) const
{
    mz::HeadlineRows rows;
    const int n = shownRowCount(view);
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        rows.append(shownRow(view, i));
    return rows;
}

// Until ListView2 is sorted the proxy shows the model's rows in their own order and the search
// reads the model directly; once sorted, the shown order is read from the proxy once per search.
// While a list is being filled the rows not shown yet (the model's last ones) follow the shown
// ones in the order they came: a search sees every row appended so far.
mz::RowSource HeadlineLists::archiveRows() const
{
    const int shown = shownRowCount(m_views[1]);
    if (m_proxy2->sortColumn() < 0 && shown == m_model2->rowCount())
        return mz::rowsOf(*m_model2);
    const std::vector<int> shownOrder = m_proxy2->shownOrder();
    QList<int> order(shownOrder.begin(), shownOrder.end());
    for (int row = int(order.size()); row < m_model2->rowCount(); ++row)
        order.append(row);
    return mz::rowsOf(*m_model2, order);
}

bool HeadlineLists::archiveToSearch() const
{
    return m_model2->rowCount() > 0 || m_archiveRead;
}

// ---- mouse ------------------------------------------------------------------------------------

QTreeView *HeadlineLists::viewOfViewport(QObject *viewport) const
{
    // The viewports kept at construction: the filter also sees their events while the views are
    // being destroyed, when a view can no longer be asked for its viewport.
    for (int i = 0; i < 3; ++i) {
        if (m_viewports[i] == viewport)
            return m_views[i];
    }
    return nullptr;
}

// Forwards presses and releases; the views still get every event.
bool HeadlineLists::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    QTreeView *view = viewOfViewport(watched);
    if (!view)
        return false;
    const auto *me = static_cast<QMouseEvent *>(event);
    if (type == QEvent::MouseButtonRelease)
        Q_EMIT released(view, me->button(), me->position().toPoint());
    else
        Q_EMIT pressed(view, me->button(), me->position().toPoint());
    return false;
}
