#pragma once
// Parts of controls that the style draws in palette colours that need not stand out under every
// colour scheme: the empty tick box of a list row and the placeholder text of a text box. Under a
// dark scheme (dark base and window, light text) Fusion draws the tick box's edge from the
// darkened window colour, next to the base colour, and a scheme that leaves the placeholder colour
// unset keeps the light scheme's half-transparent black, next to invisible on a dark base.

#include <QStyledItemDelegate>

#include <optional>

class QImage;
class QLineEdit;

namespace mz {

// The contrast of two opaque colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);
// The highest contrast of a pixel of `area` in `image` with `background`: the core of a glyph or
// of a box's edge drawn there, or 1 when nothing stands out.
double strongestContrast(const QImage &image, const QRect &area, const QColor &background);

// A delegate for list rows with tick boxes: when the style's empty tick box stands out from the
// row's background by less than 3:1, the box gets an edge halfway between the text colour and the
// background. Styles whose box stands out are left as they draw.
class TickBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    bool boxStandsOut(const QStyleOptionViewItem &option, const QStyle *style, const QSize &size,
                      const QColor &background) const;

    // What the measure of a box depends on: the style, the colours and the box's size.
    struct BoxKey
    {
        quintptr style = 0;
        QRgb background = 0, window = 0, text = 0, base = 0;
        QSize size;
        bool operator==(const BoxKey &) const = default;
    };
    // The last box measured and the answer (a list is drawn with one palette at a time).
    mutable std::optional<BoxKey> m_measuredKey;
    mutable bool m_standsOut = true;
};

// Keeps the placeholder text of `edit` readable on its base, now and after palette changes: a
// placeholder colour that stands out by less than 3:1 is replaced by the text colour at half
// strength (how the light scheme derives its placeholder colour from its black text).
void keepPlaceholderReadable(QLineEdit *edit);

// Whether an installed font has the characters of Simplified Chinese; without one every text of
// the window shows as boxes.
bool chineseFontInstalled();
// What the user is told then: in Chinese for a screen reader and in English, which the boxes do
// not hide.
QString chineseFontMissingNotice();

} // namespace mz
