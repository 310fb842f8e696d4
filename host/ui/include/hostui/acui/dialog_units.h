#pragma once
// Dialog units to pixels, from the dialog font: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth
// of its character height. Every dialog built from a template lays out
// through this one class.

#include <QRect>

class QFont;

namespace hostui {

class DialogUnits {
public:
    DialogUnits(int avgCharWidth, int charHeight);
    // The average width is that of the 52 Latin letters, rounded as the
    // platform rounds it; the height is the font's line height.
    static DialogUnits fromFont(const QFont& font);

    int avgCharWidth() const { return m_avgCharWidth; }
    int charHeight() const { return m_charHeight; }

    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    // A rectangle of x, y, width, height in dialog units.
    QRect toPixels(int x, int y, int width, int height) const;

private:
    int m_avgCharWidth;
    int m_charHeight;
};

} // namespace hostui
