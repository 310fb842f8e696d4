#pragma once
// The caption look that the popups' tear-off bars and the floating pickers'
// title strips share, so that the bar's palettes look like one family.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

namespace caption {

// A title strip, and a tear-off bar under the pointer.
QColor active(const QPalette& palette);
// A tear-off bar with the pointer elsewhere.
QColor inactive();
// The desktop's bold title font, a point smaller at a time (down to six
// points) until the title fits in `room` pixels beside the close box.
QFont fitted(const QString& title, int room);

} // namespace caption
