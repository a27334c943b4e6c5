#include "ui/keyboardcommands.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <QTreeWidget>

KeyboardCommands::KeyboardCommands(QTreeWidget *tree, QList<QTreeView *> lists, QObject *parent)
    : QObject(parent), m_tree(tree), m_lists(std::move(lists))
{
    m_tree->installEventFilter(this);
    for (QTreeView *list : m_lists)
        list->installEventFilter(this);
}

bool KeyboardCommands::eventFilter(QObject *watched, QEvent *event)
{
    auto *list = qobject_cast<QTreeView *>(watched);
    const bool isTree = watched == m_tree;
    if (!isTree && !m_lists.contains(list))
        return false;

    if (event->type() == QEvent::ContextMenu)
        return static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard;
    if (event->type() != QEvent::KeyPress)
        return false;

    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey = (key->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
                         (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
    if (menuKey) {
        if (isTree)
            Q_EMIT menuForTree();
        else
            Q_EMIT menuForList(list);
        return true;
    }
    const bool enter =
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier;
    if (enter && !isTree) {
        Q_EMIT enterOnRow(list);
        return true;
    }
    // Space ticks the current row whichever of its cells is current: the view itself toggles
    // only a current tick cell, so after a click on a row's category or comment, or after the
    // arrow keys moved along it, Space did nothing.
    if (!isTree && key->key() == Qt::Key_Space && mods == Qt::NoModifier) {
        const QModelIndex current = list->currentIndex();
        const QModelIndex tick = current.siblingAtColumn(0);
        if (current.isValid() && current.column() != 0 &&
            (tick.flags() & Qt::ItemIsUserCheckable)) {
            const bool on = tick.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            list->model()->setData(tick, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return true;
        }
    }
    const int column = key->key() - Qt::Key_1;
    if (!isTree && mods == Qt::ControlModifier && column >= 0 && column < list->header()->count()) {
        Q_EMIT sortByColumn(list, column);
        return true;
    }
    return false;
}
