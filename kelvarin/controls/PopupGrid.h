#pragma once
// The window-free core of the drop-down palettes (colour, border, alignment):
// the layout of a grid of square cells with an optional tear-off bar, default
// box above and custom box below; hit testing; keyboard navigation; and the
// pointer rules (tear-off threshold, first release ignored). The widgets only
// paint these rectangles and forward their events.

namespace popupgrid {

// Entry values besides the cells 0..count-1.
inline constexpr int kNoEntry = -1;
inline constexpr int kCustomEntry = -2;
inline constexpr int kDefaultEntry = -3;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    // Right and bottom edges are outside, as for window rectangles.
    bool contains(int x, int y) const {
        return !isEmpty() && x >= left && x < right && y >= top && y < bottom;
    }
    bool operator==(const Rect&) const = default;
};

struct GridParams {
    int count = 40;   // cells
    int columns = 8;  // cells a row
    int boxSize = 18; // cell size in pixels
    int margin = 2;   // the 3-D edge width
    bool tearOff = false;
    bool hasDefault = false;
    bool hasCustom = false;
    // The larger of the two box texts as measured in the popup's font (only
    // used when a box is present).
    int textWidth = 0;
    int textHeight = 0;
};

class Layout {
public:
    explicit Layout(const GridParams& params);

    const GridParams& params() const { return m_params; }
    int count() const { return m_params.count; }
    int columns() const { return m_params.columns; }
    int rows() const { return m_rows; }
    int boxSize() const { return m_box; }
    int margin() const { return m_params.margin; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int gridTop() const { return m_gridTop; }

    // Client rectangles; empty when the box or bar is absent.
    Rect defaultRect() const { return m_defaultRect; }
    Rect customRect() const { return m_customRect; }
    Rect tearOffRect() const { return m_tearOffRect; }
    Rect cellRect(int entry) const;
    // The rectangle of any entry value (cell or box); empty for -1.
    Rect entryRect(int entry) const;

    // The entry under a client point: a box, a cell, or -1 (margins, the
    // bar, outside).
    int hitTest(int x, int y) const;

private:
    GridParams m_params;
    int m_rows = 0;
    int m_box = 0;
    int m_width = 0;
    int m_height = 0;
    int m_gridTop = 0;
    Rect m_defaultRect, m_customRect, m_tearOffRect;
};

enum class Key { Up, Down, Left, Right, Enter, Space, Escape, Other };

struct KeyResult {
    enum class Action { Select, Accept, Cancel, Unhandled } action = Action::Unhandled;
    int entry = kNoEntry; // for Select
};

// What a key does with the current selection.
KeyResult navigate(const Layout& layout, int selection, Key key);

// The pointer rules of a popup while it is open.
class PointerRules {
public:
    // Moving the pressed bar more than this many pixels in x or y tears off.
    static constexpr int kTearOffThreshold = 10;

    explicit PointerRules(bool tearOffAllowed) : m_tearOffAllowed(tearOffAllowed) {}

    // A press inside the popup; on the bar it starts a possible tear-off.
    void press(int x, int y, bool onTearOffBar);
    // True when this move tears the popup off (the caller ends it cancelled,
    // leaving dragging() set).
    bool tearsOff(int x, int y) const;

    enum class Release { Ignore, Accept, Cancel };
    // A release at a point that is (or is not) inside the window and on the bar.
    Release release(bool insideWindow, bool onTearOffBar);

    bool dragging() const { return m_dragging; }
    bool firstReleaseSeen() const { return m_firstReleaseSeen; }

private:
    bool m_tearOffAllowed;
    bool m_dragging = false;
    bool m_firstReleaseSeen = false;
    int m_startX = 0, m_startY = 0;
};

} // namespace popupgrid
