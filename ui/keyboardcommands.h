#pragma once
// The keys that stand in for the mouse on the tree and the three headline lists: Enter on a row
// opens it as a double click does, and the context-menu key or Shift+F10 asks for the popup
// menu of the current node or row. The keyboard's own context-menu event (sent by the window
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
    void menuForTree();
    void menuForList(QTreeView *list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidget *m_tree;
    QList<QTreeView *> m_lists;
};
