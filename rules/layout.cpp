#include "rules/layout.h"

#include <algorithm>
#include <cmath>

namespace mz {

namespace {
constexpr int kCommand6Width = 65; // the button's design width

int px(double v)
{
    return int(std::lround(v));
}
int nonNegative(double v)
{
    return std::max(0, px(v));
}
} // namespace

LayoutResult applyLayout(const LayoutInput &in, const LayoutResult &previous)
{
    const double T = in.toolbarHeight;
    const double H = in.windowHeight;
    const double W = in.windowWidth;
    if (3 * T >= H)
        return previous;

    LayoutResult r = previous;
    // Sizes the rule never changes keep their design values.
    r.text2.setHeight(in.text2Height);
    r.command6.setSize({in.command6Width, in.text2Height});
    r.tree.setWidth(in.treeWidth);

    r.text2.moveTop(px(1.1 * T));                               // 1
    r.command6.moveTop(px(1.1 * T));                            // 2
    r.tree.moveTop(px(r.text2.top() + 1.1 * r.text2.height())); // 3
    r.tree.moveLeft(px(0.1 * T));                               // 4
    r.tree.setHeight(nonNegative(H - in.statusBarHeight - in.bandHeight - 1.8 * T -
                                 1.1 * r.text2.height())); // 5
    r.text2.moveLeft(r.tree.left());                       // 6
    r.text2.setWidth(nonNegative(r.tree.width() - 1.15 * in.command1Width -
                                 std::max(0, in.command6Width - kCommand6Width)));   // 7
    r.command6.moveLeft(r.text2.left() + r.text2.width());                           // 8
    r.list.moveTop(px(1.1 * T));                                                     // 9
    r.list.moveLeft(px(r.tree.left() + r.tree.width() + 0.1 * T));                   // 10
    r.list.setHeight(nonNegative(H - in.statusBarHeight - in.bandHeight - 1.8 * T)); // 11
    if (r.tree.width() < W)                                                          // 12
        r.list.setWidth(nonNegative(W - r.tree.width() - in.statusBarHeight));
    return r;
}

} // namespace mz
