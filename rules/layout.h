#pragma once
// The rule that places the main window's controls whenever the window changes size.
// All values in pixels (the window's design sizes converted at 15 twips per pixel).

#include <QRect>

namespace mz {

struct LayoutInput
{
    int toolbarHeight = 0; // T
    int windowHeight = 0;  // H, outer height (frame included)
    int windowWidth = 0;   // W, outer width
    int statusBarHeight = 0;
    int treeWidth = 265;    // 3975 twips; never changed by the rule
    int text2Height = 25;   // 375 twips
    int command1Width = 57; // 855 twips
    // Command6 is 975 twips wide; a caption in a larger font gets the width it needs, taken from
    // the search box, so that the row still ends where the tree does.
    int command6Width = 65;
    int bandHeight = 0; // the progress band above the status bar; the tree and lists end above it
};

struct LayoutResult
{
    QRect text2;
    QRect command6;
    QRect tree;
    QRect list; // ListView1; ListView2, ListView3 and WebBrowser1 take the same rectangle
};

// Applies the rule to `previous` and returns the new placement. When the window is lower than
// three toolbar heights nothing changes; when it is narrower than the tree the list keeps its
// previous width. A size the rule would make negative is clamped to zero.
LayoutResult applyLayout(const LayoutInput &in, const LayoutResult &previous);

} // namespace mz
