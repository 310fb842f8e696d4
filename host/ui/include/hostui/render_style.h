#pragma once
// Colours and switches the entity renderer draws with.

#include <QColor>

namespace hostui {

struct RenderStyle {
    // Colour index 7 and colours that resolve to nothing are drawn in this
    // colour, so they contrast with the background.
    QColor foreground{255, 255, 255};
    QColor selectionFill{70, 140, 255, 90};
    QColor selectionEdge{90, 170, 255};
    bool showLineWeights = true;
    // Texts smaller than this on screen are drawn as a thin bar.
    double minTextPixels = 2.0;
};

} // namespace hostui
