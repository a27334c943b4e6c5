#include "ui/keywordcountdelegate.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QStyle>
#include <QTreeWidgetItem>
#include <QWidget>

namespace mz {

namespace {

constexpr int kGap = 4; // between the node's text and its count, in pixels
constexpr char kEditorFilled[] = "mzEditorFilled";

// The space the style leaves on either side of an item's text.
int textMargin(const QStyleOptionViewItem &option)
{
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

// The count is quieter than the node's text but must stay readable on the tree's background. It is
// mixed from the text and background colours themselves: the placeholder colour is no help, as a
// palette that does not set it (a dark colour scheme from a theme) keeps the light palette's dark
// grey, which cannot be read on a dark background.
QColor subduedText(const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    const auto mix = [](int t, int b) { return (3 * t + 2 * b) / 5; };
    return QColor(mix(text.red(), base.red()), mix(text.green(), base.green()),
                  mix(text.blue(), base.blue()));
}

} // namespace

void setKeywordCount(QTreeWidgetItem *node, std::optional<int> count)
{
    if (!node)
        return;
    node->setData(0, kKeywordCountRole, count ? QVariant(*count) : QVariant());
    node->setData(0, Qt::AccessibleDescriptionRole,
                  count ? QVariant(QStringLiteral("%1条新闻").arg(*count)) : QVariant());
}

QString KeywordCountDelegate::countText(int count)
{
    return QStringLiteral("(%1)").arg(count);
}

void KeywordCountDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant count = index.data(kKeywordCountRole);
    if (!count.isValid())
        return;

    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const int textWidth = opt.fontMetrics.horizontalAdvance(opt.text);
    QRect countRect = textRect.adjusted(textMargin(opt) + textWidth + kGap, 0, 0, 0);
    if (countRect.width() <= 0)
        return;

    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(selected ? opt.palette.color(QPalette::HighlightedText)
                             : subduedText(opt.palette));
    painter->drawText(countRect, int(Qt::AlignLeft | Qt::AlignVCenter), countText(count.toInt()));
    painter->restore();
}

QSize KeywordCountDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QVariant count = index.data(kKeywordCountRole);
    if (count.isValid())
        size.rwidth() += kGap + option.fontMetrics.horizontalAdvance(countText(count.toInt()));
    return size;
}

QWidget *KeywordCountDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        editor->setAccessibleName(QStringLiteral("修改关键词"));
    return editor;
}

void KeywordCountDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (editor->property(kEditorFilled).toBool())
        return;
    QStyledItemDelegate::setEditorData(editor, index);
    editor->setProperty(kEditorFilled, true);
}

bool KeywordCountDelegate::eventFilter(QObject *object, QEvent *event)
{
    // Only the delegate's handling (ending the edit and storing the text) is skipped; the editor
    // still sees the focus loss. Going over to another program still ends the edit.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() == Qt::ActiveWindowFocusReason &&
        QApplication::activeModalWidget())
        return false;
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace mz
