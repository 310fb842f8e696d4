#include "hostui/acui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace hostui {

namespace {

// units · size / divisor, rounded half away from zero (as MulDiv does).
int scale(int units, int size, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(units) * size / divisor));
}

} // namespace

DialogUnits::DialogUnits(int avgCharWidth, int charHeight)
    : m_avgCharWidth(std::max(1, avgCharWidth)), m_charHeight(std::max(1, charHeight)) {}

DialogUnits DialogUnits::fromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogUnits::toPixelsX(int units) const {
    return scale(units, m_avgCharWidth, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return scale(units, m_charHeight, 8);
}

QRect DialogUnits::toPixels(int x, int y, int width, int height) const {
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

} // namespace hostui
