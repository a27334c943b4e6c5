#pragma once
// The keys that stand in for the mouse on the tree and the three headline lists: Enter on a row
// opens it as a double click does, the context-menu key or Shift+F10 asks for the popup menu of
// the current node or row, and Ctrl+1, Ctrl+2, Ctrl+3 ask for the list sorted by that column as
// a click on its header does; Space ticks the current row of a list with tick boxes from any of
// its cells. The keyboard's own context-menu event (sent by the window
// system beside the key press) is swallowed, so that one key press opens one menu.

#include <QObject>

class QTreeView;
class QTreeWidget;

class KeyboardCommands : public QObject
{
    Q_OBJECT

public:
    KeyboardCommands(QTreeWidget *tree, QList<QTreeView *> lists, QObject *parent = nullptr);

Q_SIGNALS:
    void enterOnRow(QTreeView *list);
    void sortByColumn(QTreeView *list, int column);
    void menuForTree();
    void menuForList(QTreeView *list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidget *m_tree;
    QList<QTreeView *> m_lists;
};
