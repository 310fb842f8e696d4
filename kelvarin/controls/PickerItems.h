#pragma once
// The border and alignment drop-downs: their item tables (picture resource
// name and name, shared by the popups, the floating pickers and the
// toolbar's tooltips), the popups' geometry, and keeping a window on the
// screen. No window here: the widgets paint these rectangles and forward
// their events.

#include "controls/PopupGrid.h"

struct ItemTable {
    const char* bitmapName; // bitmap resource, looked up without letter case
    const char* name;       // tooltip and toolbar name
};

inline constexpr int kBorderItemCount = 10;
inline constexpr int kAlignItemCount = 9;
// Index = border style code.
extern const ItemTable kBorderItems[kBorderItemCount];
// Index = host alignment value - 1.
extern const ItemTable kAlignItems[kAlignItemCount];

// Floating picker button ids: first id + item index.
inline constexpr int kBorderPickerFirstId = 1005;
inline constexpr int kAlignPickerFirstId = 1015;

namespace itemgrid {

using popupgrid::Rect;

// The border popup is a 5 x 2 grid, the alignment popup 3 x 3; both have a
// tear-off bar and no boxes, and their grid sits 10 margins down (4 below
// the bar, which the colour popup does not leave).
class Layout {
public:
    Layout(int count, int columns, int boxSize = 23, int margin = 2);

    int count() const { return m_count; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int boxSize() const { return m_box; }
    int margin() const { return m_margin; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Rect tearOffRect() const { return m_tearOff; }
    Rect cellRect(int item) const; // empty outside 0..count-1
    // The item under a client point, -1 for margins, the bar and outside.
    int hitTest(int x, int y) const;
    // Arrow keys, Enter, Space and Escape on the current selection.
    popupgrid::KeyResult navigate(int selection, popupgrid::Key key) const;

private:
    int m_count, m_columns, m_rows, m_box, m_margin, m_width, m_height;
    Rect m_tearOff;
};

Layout borderLayout(int margin = 2);
Layout alignLayout(int margin = 2);

} // namespace itemgrid

// Moves a window of the given size so that it lies inside the screen's
// available area (kept at its place when it already does; pushed to the
// area's top left when it is larger than the area).
popupgrid::Rect keepInsideScreen(const popupgrid::Rect& window, const popupgrid::Rect& screen);
