#pragma once
// Whether a text or a drawn edge can be seen: the contrast measures the window itself uses
// (ui/readablecontrols.h), and the dark colour scheme the tests draw under.

#include "ui/readablecontrols.h"

#include <QPalette>

namespace mz::test {

using mz::contrastRatio;
using mz::strongestContrast;

// A dark colour scheme as themes set it: the main roles only, not the placeholder colour.
inline QPalette darkScheme()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

} // namespace mz::test
