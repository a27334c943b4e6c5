#pragma once
// The navigation tree TreeView1: its nodes (roots k0 ... k4, the day, keyword and category nodes),
// their keys and pictures, the node counter `nn`, and the selected node the commands act on.

#include "rules/day.h"
#include "rules/treerules.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QTreeWidget;
class QWidget;
class QTreeWidgetItem;

class NavigationTree : public QObject
{
    Q_OBJECT

public:
    // `images` is ImageList1 (index i is image i).
    NavigationTree(QTreeWidget *tree, QList<QIcon> images, QObject *parent = nullptr);

    // Rebuilds every node from option.ini's text: today under 今日新闻, `daysToKeep` earlier days
    // under 旧新闻 (ticked when their archive is stored in `folder`), the keywords and accepted
    // categories, and 收藏夹. Today is selected without running the click handling.
    void build(const QString &optionText, QDate today, double daysToKeep, const QString &folder);

    mz::Day today() const { return m_today; }
    int nn() const { return m_nn; }

    QTreeWidgetItem *selectedNode() const;
    QString selectedKey() const;
    QString selectedText() const;
    mz::NodeKind selectedKind() const;
    // The selected day node's day; invalid when the selected node is no day.
    mz::Day selectedDay() const;

    QTreeWidgetItem *nodeByKey(const QString &key) const;
    static QString nodeKey(const QTreeWidgetItem *node);
    static int nodeImage(const QTreeWidgetItem *node);
    static mz::NodeKind kindOf(const QTreeWidgetItem *node);

    void setNodeImage(QTreeWidgetItem *node, int image);
    void setNodeImage(QTreeWidgetItem *node, mz::TreeImage image)
    {
        setNodeImage(node, int(image));
    }
    void setNodeRed(QTreeWidgetItem *node);
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                             int image);
    // The picture a day node has when nothing runs for it: ticked when its final archive copy is
    // stored in `folder`.
    void restoreDayImage(const mz::Day &day, const QString &folder);

    // The enabled states of the tree menu for the selected node, from `current`.
    mz::PopStates popStates(const mz::PopStates &current) const;

    // ---- keyword nodes ----------------------------------------------------------------------
    // Adds a keyword node as the last child of 你的关键词: `nn` goes up by one and the node's key
    // is "k2" + nn; it shows the root's picture until the tree is rebuilt.
    QTreeWidgetItem *addKeywordNode(const QString &text);
    // The keyword nodes in tree order.
    QList<QTreeWidgetItem *> keywordNodes() const;
    // Removes a node and its children; the selection moves to a remaining node.
    void removeNode(QTreeWidgetItem *node);
    // Opens the in-place editor on `node`'s label; labelEditEnded reports the end of the edit.
    void startLabelEdit(QTreeWidgetItem *node);
    // An editor still open when the window goes commits while the widgets are destroyed: from
    // here on that end is not reported.
    void forgetLabelEdit();

Q_SIGNALS:
    // A left click on a node (TreeView1_NodeClick).
    void nodeClicked(QTreeWidgetItem *node);
    // The right button was released at `pos` (tree coordinates).
    void rightButtonReleased(QPoint pos);
    // The label editor opened by startLabelEdit closed (committed or cancelled); `node` shows the
    // text it was left with.
    void labelEditEnded(QTreeWidgetItem *node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keepSelection();
    void selectQuietly(QTreeWidgetItem *node);
    void onEditorClosed();

    QTreeWidget *m_tree;
    QWidget *m_viewport; // the tree's viewport, whose mouse events are filtered
    QList<QIcon> m_images;
    int m_nn = 0;
    mz::Day m_today;
    QString m_lastSelectedKey; // the tree keeps a node selected: this one when it would lose it
    QString m_editingKey;      // the node whose label is being edited
};
