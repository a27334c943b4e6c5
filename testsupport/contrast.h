#pragma once
// Whether a text can be read: the contrast of its colour with its background, and the strongest
// contrast a drawn area reaches.

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace mz::test {

// WCAG contrast ratio of two colours, from 1 (the same) to 21 (black on white).
inline double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The highest contrast of a pixel of `area` in `image` with `background`: the core of a glyph
// drawn there, or 1 when nothing stands out.
inline double strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    double best = 1;
    const QRect r = area & image.rect();
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            best = std::max(best, contrast(image.pixelColor(x, y), background));
    }
    return best;
}

} // namespace mz::test
