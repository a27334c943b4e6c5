#include "ui/readablecontrols.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mz {

namespace {

constexpr double kReadable = 3.0;

double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// `c` drawn over the opaque `below`, as the eye sees it.
QColor over(const QColor &c, const QColor &below)
{
    const double a = c.alphaF();
    return QColor::fromRgbF(float(c.redF() * a + below.redF() * (1 - a)),
                            float(c.greenF() * a + below.greenF() * (1 - a)),
                            float(c.blueF() * a + below.blueF() * (1 - a)));
}

QColor halfway(const QColor &a, const QColor &b)
{
    QColor c = a;
    c.setAlphaF(0.5f);
    return over(c, b);
}

class PlaceholderKeeper : public QObject
{
public:
    explicit PlaceholderKeeper(QLineEdit *edit) : QObject(edit), m_edit(edit) {}

    void apply()
    {
        QPalette own = m_edit->palette();
        // The colour the scheme gives, not one set here before.
        const QWidget *parent = m_edit->parentWidget();
        const QColor given = (parent ? parent->palette() : QApplication::palette(m_edit))
                                 .color(QPalette::PlaceholderText);
        const QColor base = own.color(QPalette::Base);
        QColor wanted = given;
        if (contrastRatio(over(given, base), base) < kReadable) {
            wanted = own.color(QPalette::Text);
            wanted.setAlpha(128);
        }
        if (own.color(QPalette::PlaceholderText) == wanted)
            return; // also ends the change event the line below raises
        own.setColor(QPalette::PlaceholderText, wanted);
        m_edit->setPalette(own);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_edit && event->type() == QEvent::PaletteChange)
            apply();
        return false;
    }

private:
    QLineEdit *m_edit;
};

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    double best = 1;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            best = std::max(best, contrastRatio(image.pixelColor(x, y), background));
    }
    return best;
}

void TickBoxDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // A selected row's box stands on the highlight, which the style's box fill differs from.
    if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator) ||
        (opt.state & QStyle::State_Selected))
        return;
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
    const QColor background = opt.palette.color(
        opt.features & QStyleOptionViewItem::Alternate ? QPalette::AlternateBase : QPalette::Base);
    if (box.isEmpty() || boxStandsOut(opt, style, box.size(), background))
        return;
    painter->save();
    painter->setPen(QPen(halfway(opt.palette.color(QPalette::Text), background), 0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->restore();
}

// Draws the style's empty box on the background and looks for its strongest pixel.
bool TickBoxDelegate::boxStandsOut(const QStyleOptionViewItem &option, const QStyle *style,
                                   const QSize &size, const QColor &background) const
{
    const QPalette &p = option.palette;
    const BoxKey key{quintptr(style),
                     background.rgba(),
                     p.color(QPalette::Window).rgba(),
                     p.color(QPalette::Text).rgba(),
                     p.color(QPalette::Base).rgba(),
                     size};
    if (key == m_measuredKey)
        return m_standsOut;
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        QStyleOptionViewItem empty = option;
        empty.rect = image.rect();
        empty.checkState = Qt::Unchecked;
        empty.state &= ~(QStyle::State_On | QStyle::State_NoChange | QStyle::State_HasFocus);
        empty.state |= QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &empty, &painter,
                             option.widget);
    }
    m_measuredKey = key;
    m_standsOut = strongestContrast(image, image.rect(), background) >= kReadable;
    return m_standsOut;
}

void keepPlaceholderReadable(QLineEdit *edit)
{
    auto *keeper = new PlaceholderKeeper(edit);
    edit->installEventFilter(keeper);
    keeper->apply();
}

bool chineseFontInstalled()
{
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

QString chineseFontMissingNotice()
{
    return QStringLiteral(
        "没有安装能显示中文的字体，墨舟的文字都显示成方框。请安装一种中文字体（例如软件包 "
        "fonts-wqy-microhei 或 fonts-noto-cjk），再启动墨舟。\n\n"
        "No font with Chinese characters is installed, so Mozhou shows its texts as boxes. "
        "Install a Chinese font (for example the package fonts-wqy-microhei or fonts-noto-cjk) "
        "and start Mozhou again.");
}

} // namespace mz
