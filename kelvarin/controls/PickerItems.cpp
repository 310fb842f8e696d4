#include "controls/PickerItems.h"

#include <algorithm>

const ItemTable kBorderItems[kBorderItemCount] = {
    {"{4D98DF4F-E6F2-41ca-B945-A1FFDF1F07E5}", "All Borders"},
    {"{0C483219-6A1D-48C6-9418-B27355667A36}", "Outside Border"},
    {"{223574A1-2CA7-448d-AEFD-F32E19AEC542}", "Inside Border"},
    {"{4B52CE5F-BDC4-4098-9D37-AB27930825C3}", "Left Border"},
    {"{8BCDC3A8-8910-4ce2-8B4E-D87827041508}", "Right Border"},
    {"{6730344D-16C3-4944-B0A6-22C75F476337}", "Top Border"},
    {"{040FD48B-F998-4d61-8394-17D84A5E92AB}", "Bottom Border"},
    {"{E13061B2-A18A-4032-AC11-C8716CF50FE5}", "Inside Horizontal Border"},
    {"{6866F48D-7DE4-47da-B9B7-57C57553AFA1}", "Inside Vertical Border"},
    {"{67D39EE0-06E2-4ce0-BAA9-B3164F07C1AF}", "No Border"},
};

const ItemTable kAlignItems[kAlignItemCount] = {
    {"{06A68026-EB74-45fd-A792-ECC00F790781}", "Top Left"},
    {"{533FDAEC-8FB5-46cd-B269-E286F4C35581}", "Top Center"},
    {"{6C264F94-DFEB-4a94-9C75-052745E8E1D1}", "Top Right"},
    {"{1C1F5C3A-1DD5-4631-8860-4783D0623B85}", "Middle Left"},
    {"{9BBC8441-4637-4653-97A3-A2A61A568F6B}", "Middle Center"},
    {"{29BFD0A7-C751-4374-B0EB-C9D8A768490C}", "Middle Right"},
    {"{726B295C-52D0-42e6-8FCC-9CAF68ED7C33}", "Bottom Left"},
    {"{22B02761-389B-431b-A87E-90C8D1C2B6C7}", "Bottom Center"},
    {"{2CACBAB3-247F-4aea-805B-7430313FAE11}", "Bottom Right"},
};

namespace itemgrid {

Layout::Layout(int count, int columns, int boxSize, int margin)
    : m_count(std::max(count, 0)), m_columns(std::max(columns, 1)), m_margin(margin) {
    const int m = margin;
    // Too small a cell leaves no room for the picture inside its edges.
    m_box = boxSize - 2 * m - 2 < 5 ? 2 * m + 7 : boxSize;
    m_rows = m_count / m_columns + (m_count % m_columns ? 1 : 0);
    m_width = m_columns * m_box + 8 * m;
    m_height = m_rows * m_box + 12 * m;
    m_tearOff = Rect{2 * m, 2 * m, m_width - 2 * m, 6 * m};
}

Rect Layout::cellRect(int item) const {
    if (item < 0 || item >= m_count)
        return {};
    const int left = (item % m_columns) * m_box + 4 * m_margin;
    const int top = (item / m_columns) * m_box + 10 * m_margin;
    return {left, top, left + m_box, top + m_box};
}

int Layout::hitTest(int x, int y) const {
    const int gx = x - 4 * m_margin;
    const int gy = y - 10 * m_margin;
    if (gx < 0 || gy < 0 || gx > m_columns * m_box || gy > m_rows * m_box)
        return -1;
    const int row = gy / m_box;
    const int column = gx / m_box;
    if (row >= m_rows || column >= m_columns)
        return -1;
    const int item = row * m_columns + column;
    return item < m_count ? item : -1;
}

popupgrid::KeyResult Layout::navigate(int selection, popupgrid::Key key) const {
    // Without boxes the colour popup's table is exactly this one: leaving the
    // grid forwards gives the first item, backwards the last.
    popupgrid::GridParams params;
    params.count = m_count;
    params.columns = m_columns;
    params.boxSize = m_box;
    params.margin = m_margin;
    params.tearOff = true;
    return popupgrid::navigate(popupgrid::Layout(params), selection, key);
}

Layout borderLayout(int margin) {
    return Layout(kBorderItemCount, 5, 23, margin);
}
Layout alignLayout(int margin) {
    return Layout(kAlignItemCount, 3, 23, margin);
}

} // namespace itemgrid

popupgrid::Rect keepInsideScreen(const popupgrid::Rect& window, const popupgrid::Rect& screen) {
    const int w = window.width();
    const int h = window.height();
    int left = window.left;
    int top = window.top;
    if (left + w > screen.right)
        left = screen.right - w;
    if (top + h > screen.bottom)
        top = screen.bottom - h;
    left = std::max(left, screen.left);
    top = std::max(top, screen.top);
    return {left, top, left + w, top + h};
}
