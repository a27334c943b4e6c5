#pragma once
// The number of archive headlines a keyword finds, drawn after the keyword node's text in the
// tree. The count lives in an item data role of its own, never in the node's text, which the
// search and the keyword rewrites read.

#include <QStyledItemDelegate>

#include <optional>

class QTreeWidgetItem;

namespace mz {

inline constexpr int kKeywordCountRole = Qt::UserRole + 16; // int; absent: nothing drawn

// Sets (or with nullopt clears) the count of a node, and its accessible description
// ("N条新闻"), so a screen reader tells what is drawn.
void setKeywordCount(QTreeWidgetItem *node, std::optional<int> count);

class KeywordCountDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text drawn for a count: "(N)".
    static QString countText(int count);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The in-place label editor, named for screen readers.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    // The label editor takes the node's text once, when it opens: a count set on the node while
    // the user types (the archive list completing or being emptied) leaves the typed text alone.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

protected:
    // A message box that opens by itself while a name is typed (a download completed, an article
    // failed) takes the window's activation: the label editor stays open through it instead of
    // storing the half-typed name, and has the focus again when the box is closed.
    bool eventFilter(QObject *object, QEvent *event) override;
};

} // namespace mz
