#include "controls/Caption.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <algorithm>

namespace caption {

QColor active(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}

QColor inactive() {
    return QColor(191, 205, 219);
}

QFont fitted(const QString& title, int room) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    constexpr qreal kSmallest = 6;
    qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    while (size > kSmallest && QFontMetrics(font).horizontalAdvance(title) > room) {
        size = std::max(kSmallest, size - 1);
        font.setPointSizeF(size);
    }
    return font;
}

} // namespace caption
