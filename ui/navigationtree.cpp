#include "ui/navigationtree.h"

#include "fetch/pagenames.h"
#include "store/optionfile.h"
#include "ui/keywordcountdelegate.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTreeWidget>

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;

// Whether the day's archive is stored: a file by its name (a folder so named is no page, and a
// download to that name fails).
bool archiveStored(const QString &folder, const QDate &day)
{
    return QFileInfo(QDir(folder).filePath(mz::archiveFileName(day))).isFile();
}

} // namespace

NavigationTree::NavigationTree(QTreeWidget *tree, QList<QIcon> images, QObject *parent)
    : QObject(parent), m_tree(tree), m_viewport(tree->viewport()), m_images(std::move(images))
{
    m_viewport->installEventFilter(this);
    // Only startLabelEdit opens an editor; the delegate draws the keyword counts.
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *delegate = new mz::KeywordCountDelegate(m_tree);
    m_tree->setItemDelegate(delegate);
    // Connected after the view's own connection, so the edited text is in the item by then.
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, &NavigationTree::onEditorClosed);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { Q_EMIT nodeClicked(item); });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &NavigationTree::keepSelection);
}

// The commands act on the selected node, so one stays selected: a click on the blank area or a
// Ctrl+click that would leave none selects the previous node again.
void NavigationTree::keepSelection()
{
    if (QTreeWidgetItem *node = selectedNode()) {
        m_lastSelectedKey = nodeKey(node);
        return;
    }
    QTreeWidgetItem *previous = nodeByKey(m_lastSelectedKey);
    if (!previous)
        previous = nodeByKey(m_today.key);
    if (previous) {
        const QSignalBlocker blocker(m_tree);
        m_tree->setCurrentItem(previous);
        previous->setSelected(true);
    }
}

void NavigationTree::build(const QString &optionText, QDate today, double daysToKeep,
                           const QString &folder)
{
    m_tree->clear();
    m_today = mz::Day::of(today);
    using mz::TreeImage;

    auto *k0 =
        addNode(nullptr, QStringLiteral("k0"), QStringLiteral("今日新闻"), int(TreeImage::Folder));
    QTreeWidgetItem *todayNode = addNode(k0, m_today.key, m_today.label, int(TreeImage::NotStored));

    auto *k1 =
        addNode(nullptr, QStringLiteral("k1"), QStringLiteral("旧新闻"), int(TreeImage::Folder));
    for (const QDate &d : mz::oldDays(today, daysToKeep)) {
        const bool stored = archiveStored(folder, d);
        const mz::Day day = mz::Day::of(d);
        addNode(k1, day.key, day.label,
                int(stored ? TreeImage::ArchiveStored : TreeImage::NotStored));
    }

    auto *k2 = addNode(nullptr, QStringLiteral("k2"), QStringLiteral("你的关键词"),
                       int(TreeImage::Folder));
    for (const QString &keyword :
         mz::parseListSection(optionText, QStringView(mz::kKeywordsHeader))) {
        ++m_nn;
        addNode(k2, QStringLiteral("k2") + QString::number(m_nn), keyword, int(TreeImage::Keyword));
    }

    auto *k3 =
        addNode(nullptr, QStringLiteral("k3"), QStringLiteral("分类"), int(TreeImage::Folder));
    for (const QString &name :
         mz::parseListSection(optionText, QStringView(mz::kCategoriesHeader))) {
        ++m_nn; // a refused line uses a number all the same
        if (const int image = mz::acceptedCategoryImage(name))
            addNode(k3, QStringLiteral("k3") + QString::number(m_nn), name, image);
    }

    addNode(nullptr, QStringLiteral("k4"), QStringLiteral("收藏夹"), int(TreeImage::Folder));

    k1->setExpanded(true);
    k2->setExpanded(true);
    k0->setExpanded(true);
    // Selecting from the program does not run the click handling.
    const QSignalBlocker blocker(m_tree);
    m_tree->setCurrentItem(todayNode);
    m_lastSelectedKey = m_today.key;
}

QTreeWidgetItem *NavigationTree::selectedNode() const
{
    const auto items = m_tree->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

QString NavigationTree::selectedKey() const
{
    return nodeKey(selectedNode());
}

QString NavigationTree::selectedText() const
{
    const QTreeWidgetItem *node = selectedNode();
    return node ? node->text(0) : QString();
}

mz::NodeKind NavigationTree::selectedKind() const
{
    return kindOf(selectedNode());
}

mz::Day NavigationTree::selectedDay() const
{
    const QTreeWidgetItem *node = selectedNode();
    return kindOf(node) == mz::NodeKind::Day ? mz::Day::fromKey(nodeKey(node)) : mz::Day();
}

QTreeWidgetItem *NavigationTree::nodeByKey(const QString &key) const
{
    if (key.isEmpty())
        return nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (nodeKey(*it) == key)
            return *it;
    }
    return nullptr;
}

QString NavigationTree::nodeKey(const QTreeWidgetItem *node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

int NavigationTree::nodeImage(const QTreeWidgetItem *node)
{
    return node ? node->data(0, ImageRole).toInt() : 0;
}

mz::NodeKind NavigationTree::kindOf(const QTreeWidgetItem *node)
{
    if (!node)
        return mz::NodeKind::Other;
    const QTreeWidgetItem *root = node;
    while (root->parent())
        root = root->parent();
    return mz::nodeKind(root == node ? QString() : nodeKey(root), nodeKey(node));
}

namespace {

// A day's picture and colour show whether its news are stored, on their way or were fetched in
// this session (red); a screen reader reads the same as the node's description.
void describeDay(QTreeWidgetItem *node)
{
    const bool red = node->foreground(0).color() == QColor(255, 0, 0);
    switch (mz::TreeImage(NavigationTree::nodeImage(node))) {
    case mz::TreeImage::ArchiveStored:
        node->setData(0, Qt::AccessibleDescriptionRole, QStringLiteral("已下载"));
        break;
    case mz::TreeImage::Downloading:
        node->setData(0, Qt::AccessibleDescriptionRole, QStringLiteral("正在下载"));
        break;
    case mz::TreeImage::NotStored:
        node->setData(0, Qt::AccessibleDescriptionRole,
                      red ? QStringLiteral("本次已下载") : QStringLiteral("未下载"));
        break;
    default: // roots, keywords and categories say other things, or nothing
        break;
    }
}

} // namespace

void NavigationTree::setNodeImage(QTreeWidgetItem *node, int image)
{
    if (!node)
        return;
    node->setData(0, ImageRole, image);
    node->setIcon(0, m_images.value(image));
    describeDay(node);
}

void NavigationTree::setNodeRed(QTreeWidgetItem *node)
{
    if (!node)
        return;
    node->setForeground(0, QColor(255, 0, 0));
    describeDay(node);
}

QTreeWidgetItem *NavigationTree::addNode(QTreeWidgetItem *parent, const QString &key,
                                         const QString &text, int image)
{
    auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    setNodeImage(node, image);
    return node;
}

void NavigationTree::restoreDayImage(const mz::Day &day, const QString &folder)
{
    QTreeWidgetItem *node = nodeByKey(day.key);
    if (!node || !day.isValid())
        return;
    const bool stored = archiveStored(folder, day.date);
    setNodeImage(node, stored ? mz::TreeImage::ArchiveStored : mz::TreeImage::NotStored);
}

mz::PopStates NavigationTree::popStates(const mz::PopStates &current) const
{
    const QTreeWidgetItem *node = selectedNode();
    if (!node)
        return current; // nothing selected: the items keep their states
    return mz::popStatesFor(kindOf(node), nodeKey(node), nodeImage(node), current);
}

QTreeWidgetItem *NavigationTree::addKeywordNode(const QString &text)
{
    QTreeWidgetItem *root = nodeByKey(QStringLiteral("k2"));
    if (!root)
        return nullptr;
    ++m_nn;
    return addNode(root, QStringLiteral("k2") + QString::number(m_nn), text,
                   int(mz::TreeImage::Folder));
}

QList<QTreeWidgetItem *> NavigationTree::keywordNodes() const
{
    QList<QTreeWidgetItem *> nodes;
    if (const QTreeWidgetItem *root = nodeByKey(QStringLiteral("k2"))) {
        for (int i = 0; i < root->childCount(); ++i)
            nodes << root->child(i);
    }
    return nodes;
}

void NavigationTree::removeNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    if (nodeKey(node) == m_editingKey)
        m_editingKey.clear();
    // Deleting the selected node lets the tree select a neighbour, or nothing; keepSelection then
    // falls back on today.
    delete node;
    if (!selectedNode())
        keepSelection();
}

void NavigationTree::startLabelEdit(QTreeWidgetItem *node)
{
    if (!node)
        return;
    m_editingKey = nodeKey(node);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    m_tree->editItem(node, 0);
}

void NavigationTree::forgetLabelEdit()
{
    disconnect(m_tree->itemDelegate(), nullptr, this, nullptr);
    m_editingKey.clear();
}

void NavigationTree::onEditorClosed()
{
    QTreeWidgetItem *node = nodeByKey(m_editingKey);
    m_editingKey.clear();
    if (!node)
        return;
    node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    Q_EMIT labelEditEnded(node);
}

// Selects `node` as the program does: the click handling does not run.
void NavigationTree::selectQuietly(QTreeWidgetItem *node)
{
    const QSignalBlocker blocker(m_tree);
    m_tree->setCurrentItem(node);
    node->setSelected(true);
    m_lastSelectedKey = nodeKey(node);
    m_tree->viewport()->update();
}

bool NavigationTree::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept at construction: the filter also sees the viewport's events
    // while the tree is being destroyed, when the tree can no longer be asked for it.
    if (watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The left button selects through the tree. The right one selects the node under the
        // pointer (the menu that opens on release acts on the selected node) without running the
        // click handling; on the blank area the selection stays.
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            if (QTreeWidgetItem *node = m_tree->itemAt(me->position().toPoint()))
                selectQuietly(node);
        }
        return me->button() != Qt::LeftButton;
    }
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::RightButton)
            return false;
        Q_EMIT rightButtonReleased(m_tree->viewport()->mapTo(m_tree, me->position().toPoint()));
        return true;
    }
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}
