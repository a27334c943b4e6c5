// Form1: the headline lists. Filling ListView2 from the stored archive page and ListView1 from
// the stored hot news page, sorting by a clicked column, the comment column marker and the
// list views' popup menu pop1.

#include "app/form1.h"

#include "lists/archiveparser.h"
#include "lists/headlinemodel.h"
#include "lists/headlineview.h"
#include "lists/hotparser.h"
#include "platform/messages.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QTreeView>

namespace {

const QString kIdleCaption = QStringLiteral("墨舟 V1.3");

QString progressCaption(qsizetype found)
{
    return kIdleCaption + QStringLiteral("  第") + QString::number(found) + QStringLiteral("条");
}

// Forwards the mouse presses and releases on the three list views' viewports to the window's
// handlers, with positions in viewport coordinates (where the columns are). The views still
// get every event.
class ListViewMouse : public QObject
{
public:
    explicit ListViewMouse(Form1 *form) : QObject(form), m_form(form) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        QTreeView *view = viewOf(watched);
        if (!view)
            return false;
        const auto *me = static_cast<QMouseEvent *>(event);
        const QPoint p = me->position().toPoint();
        if (type == QEvent::MouseButtonRelease)
            m_form->ListView_MouseUp(view, me->button(), p.x(), p.y());
        else if (view == m_form->ListView1)
            m_form->ListView1_MouseDown(me->button(), p.x(), p.y());
        return false;
    }

private:
    QTreeView *viewOf(QObject *viewport) const
    {
        for (QTreeView *view : {m_form->ListView1, m_form->ListView2, m_form->ListView3}) {
            if (view && view->viewport() == viewport)
                return view;
        }
        return nullptr;
    }

    Form1 *m_form;
};

} // namespace

void Form1::setupListViews()
{
    using Kind = mz::HeadlineModel::Kind;
    model1 = new mz::HeadlineModel(Kind::Hot, this);
    model2 = new mz::HeadlineModel(Kind::Archive, this);
    model3 = new mz::HeadlineModel(Kind::Favorites, this);
    proxy1 = mz::attachHeadlineModel(ListView1, model1);
    proxy2 = mz::attachHeadlineModel(ListView2, model2);
    proxy3 = mz::attachHeadlineModel(ListView3, model3);

    // The pictures are fixed when the window is built. The provider keeps its own (shared) copy
    // of them: the views still ask for icons while the window is being destroyed.
    const auto icon = [pictures = ImageList1](int index) -> QVariant {
        if (index > 0 && index < pictures.size())
            return pictures.at(index);
        return {};
    };
    model1->setIconProvider(icon);
    model2->setIconProvider(icon);
    model3->setIconProvider(icon); // the favorites model shows no icons whatever it holds

    ListView1->header()->setSectionsClickable(true);
    ListView2->header()->setSectionsClickable(true);
    ListView3->header()->setSectionsClickable(false); // the favorites are never sorted
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView1_ColumnClick(section); });
    connect(ListView2->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView2_ColumnClick(section); });

    auto *mouse = new ListViewMouse(this);
    for (QTreeView *view : {ListView1, ListView2, ListView3})
        view->viewport()->installEventFilter(mouse);
}

// ---- filling the lists ----------------------------------------------------------------------

void Form1::list()
{
    // A newer list() started from inside this one's event pump makes this one stop, so that the
    // rows of two pages never mix.
    const quint64 generation = ++m_listGeneration;

    const std::optional<QByteArray> page = mz::readFileBytes(archiveFile);
    if (!page) {
        if (m_env.messages)
            m_env.messages->show(QStringLiteral("你还没有下载今日新闻"), QStringLiteral("提示"),
                                 mz::MessageIcon::None);
        return;
    }

    QPointer<Form1> self(this);
    mz::ArchiveParseResult result =
        mz::parseArchivePage(*page, m_env.portalBase,
                             [this, self, generation](mz::HeadlineRows &&chunk, qsizetype found) {
                                 model2->append(std::move(chunk));
                                 setWindowTitle(progressCaption(found));
                                 QCoreApplication::processEvents();
                                 return self && m_listGeneration == generation;
                             });
    if (result.stopped) {
        // Superseded (the newer run has finished by now) or the window is gone.
        if (self && windowTitle().startsWith(kIdleCaption + QStringLiteral("  第")))
            setWindowTitle(kIdleCaption);
        return;
    }
    model2->append(std::move(result.rows));
    setPanelText(QStringLiteral("s1"),
                 QStringLiteral("所有共") + QString::number(result.found) + QStringLiteral("条"));
    setWindowTitle(kIdleCaption);
}

void Form1::listHot()
{
    const std::optional<QByteArray> page = mz::readFileBytes(hotFile);
    if (!page)
        return;
    mz::HeadlineRows rows = mz::parseHotPage(*page);
    const qsizetype found = rows.size();
    model1->append(std::move(rows));
    setPanelText(QStringLiteral("s1"),
                 QStringLiteral("热点新闻共") + QString::number(found) + QStringLiteral("条!"));
}

// ---- sorting ----------------------------------------------------------------------------------

// `column` is the clicked column, 0-based (0 title, 1 category, 2 third column).
void Form1::ListView1_ColumnClick(int column)
{
    mz::sortAscending(ListView1, proxy1, column);
}

void Form1::ListView2_ColumnClick(int column)
{
    mz::sortAscending(ListView2, proxy2, column);
}

// ---- mouse ------------------------------------------------------------------------------------

// Any button: a press right of the first two columns marks the comment column; a press inside
// them leaves the marker as it is. x is in the list's content area.
void Form1::ListView1_MouseDown(Qt::MouseButton button, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(y);
    const QHeaderView *header = ListView1->header();
    const int w = header->sectionSize(0) + header->sectionSize(1);
    if (w < x + header->offset())
        commentColumnHit = true;
}

// The right button's release shows pop1 at the pointer; the three views lie in the same place,
// so ListView1's edges serve all three.
void Form1::ListView_MouseUp(QTreeView *view, Qt::MouseButton button, int x, int y)
{
    Q_UNUSED(view);
    if (button != Qt::RightButton || !pop1)
        return;
    pop1->popup(ListView1->viewport()->mapToGlobal(QPoint(x, y)));
}

// ---- rows as shown ----------------------------------------------------------------------------

int Form1::shownRowCount(const QTreeView *view) const
{
    return view && view->model() ? view->model()->rowCount() : 0;
}

const mz::HeadlineRow &Form1::shownRow(const QTreeView *view, int i) const
{
    const QSortFilterProxyModel *proxy = view == ListView1   ? proxy1
                                         : view == ListView2 ? proxy2
                                                             : proxy3;
    const mz::HeadlineModel *model = view == ListView1   ? model1
                                     : view == ListView2 ? model2
                                                         : model3;
    const QModelIndex source = proxy->mapToSource(proxy->index(i, 0));
    return model->row(source.row());
}
