#include "controls/PopupGrid.h"

#include <algorithm>
#include <cstdlib>

namespace popupgrid {

Layout::Layout(const GridParams& params) : m_params(params) {
    if (m_params.columns < 1)
        m_params.columns = 1;
    if (m_params.count < 0)
        m_params.count = 0;
    const int m = m_params.margin;
    int b = m_params.boxSize;
    // Too small a cell leaves no room for the swatch inside its edges.
    if (b - 2 * m - 2 < 5)
        b = 2 * m + 7;
    m_box = b;
    m_rows = m_params.count / m_params.columns + (m_params.count % m_params.columns ? 1 : 0);

    const bool boxes = m_params.hasDefault || m_params.hasCustom;
    const int tw = boxes ? m_params.textWidth + 2 * m : 0;
    const int th = boxes ? m_params.textHeight + 4 * m + 2 : 0;

    int w = m_params.columns * b + 8 * m;
    int h = m_rows * b + (m_params.tearOff ? 8 * m : 4 * m);
    m_gridTop = m_params.tearOff ? 6 * m : 2 * m;

    if (m_params.hasDefault) {
        w = std::max(w, tw);
        m_defaultRect = m_params.tearOff ? Rect{4 * m, 7 * m, w - 4 * m, th + 8 * m}
                                         : Rect{4 * m, 3 * m, w - 4 * m, th + 4 * m};
        h += 2 * m + th + m;
        // The grid starts at the box's bottom edge; "grid top + box height"
        // would put it m pixels higher, under the box, and the box would
        // take the clicks on the first row's top pixels.
        m_gridTop = m_defaultRect.bottom;
    }
    if (m_params.hasCustom) {
        w = std::max(w, tw);
        m_customRect = Rect{4 * m, h, w - 4 * m, h + m + th};
        h += 2 * m + th + m;
    }
    if (m_params.tearOff)
        m_tearOffRect = Rect{2 * m, 2 * m, w - 2 * m, 6 * m};
    m_width = w;
    m_height = h;
}

Rect Layout::cellRect(int entry) const {
    if (entry < 0 || entry >= m_params.count)
        return {};
    const int left = (entry % m_params.columns) * m_box + 4 * m_params.margin;
    const int top = (entry / m_params.columns) * m_box + m_gridTop;
    return {left, top, left + m_box, top + m_box};
}

Rect Layout::entryRect(int entry) const {
    if (entry == kDefaultEntry)
        return m_defaultRect;
    if (entry == kCustomEntry)
        return m_customRect;
    return cellRect(entry);
}

int Layout::hitTest(int x, int y) const {
    if (m_params.hasCustom && m_customRect.contains(x, y))
        return kCustomEntry;
    if (m_params.hasDefault && m_defaultRect.contains(x, y))
        return kDefaultEntry;
    const int gx = x - 4 * m_params.margin;
    const int gy = y - m_gridTop;
    if (gx < 0 || gy < 0 || gx > m_params.columns * m_box || gy > m_rows * m_box)
        return kNoEntry;
    const int row = gy / m_box;
    const int column = gx / m_box;
    if (row >= m_rows || column >= m_params.columns)
        return kNoEntry;
    const int entry = row * m_params.columns + column;
    return entry < m_params.count ? entry : kNoEntry;
}

KeyResult navigate(const Layout& layout, int selection, Key key) {
    using A = KeyResult::Action;
    const bool hasDefault = layout.params().hasDefault;
    const bool hasCustom = layout.params().hasCustom;
    const int n = layout.count();
    const int cols = layout.columns();
    const int last = n - 1;
    auto select = [](int e) { return KeyResult{A::Select, e}; };
    // Leaving the grid forwards: the custom box, else the default box, else
    // the first cell; backwards: the default box, else the custom box, else
    // the last cell.
    auto forward = [&] {
        return select(hasCustom ? kCustomEntry : hasDefault ? kDefaultEntry : 0);
    };
    auto backward = [&] {
        return select(hasDefault ? kDefaultEntry : hasCustom ? kCustomEntry : last);
    };

    switch (key) {
    case Key::Enter:
    case Key::Space:
        return {A::Accept, selection};
    case Key::Escape:
        return {A::Cancel, selection};
    case Key::Other:
        return {};
    default:
        break;
    }
    if (n <= 0)
        return {};

    if (selection == kDefaultEntry && hasDefault) {
        if (key == Key::Down || key == Key::Right)
            return select(0);
        return select(hasCustom ? kCustomEntry : last);
    }
    if (selection == kCustomEntry && hasCustom) {
        if (key == Key::Down || key == Key::Right)
            return select(hasDefault ? kDefaultEntry : 0);
        return select(last);
    }
    const bool cell = selection >= 0 && selection < n;
    switch (key) {
    case Key::Down:
        if (cell && selection + cols < n)
            return select(selection + cols);
        return forward();
    case Key::Up:
        if (cell && selection >= cols)
            return select(selection - cols);
        return backward();
    case Key::Right:
        if (cell && selection + 1 < n)
            return select(selection + 1);
        return forward();
    case Key::Left:
        if (cell && selection > 0)
            return select(selection - 1);
        return backward();
    default:
        return {};
    }
}

void PointerRules::press(int x, int y, bool onTearOffBar) {
    if (m_tearOffAllowed && onTearOffBar) {
        m_dragging = true;
        m_startX = x;
        m_startY = y;
    }
}

bool PointerRules::tearsOff(int x, int y) const {
    return m_tearOffAllowed && m_dragging &&
           (std::abs(x - m_startX) > kTearOffThreshold ||
            std::abs(y - m_startY) > kTearOffThreshold);
}

PointerRules::Release PointerRules::release(bool insideWindow, bool onTearOffBar) {
    // The release of the press that opened the popup must not close it. A
    // drag on the bar ends with it too, so no later move tears the popup
    // off with the button up.
    if (m_tearOffAllowed && !m_firstReleaseSeen) {
        m_firstReleaseSeen = true;
        m_dragging = false;
        return Release::Ignore;
    }
    m_dragging = false;
    return insideWindow && !onTearOffBar ? Release::Accept : Release::Cancel;
}

} // namespace popupgrid
