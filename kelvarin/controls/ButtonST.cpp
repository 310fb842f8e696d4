#include "controls/ButtonST.h"

#include "acuiresources.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

// Button style types (low 5 bits of a dialog button's style).
constexpr unsigned kDefPushButton = 0x1;
constexpr unsigned kCheckBox = 0x2;
constexpr unsigned kAutoCheckBox = 0x3;

} // namespace

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resetColors();
    m_swatchColor = palette().color(QPalette::Button);
}

QColor CButtonST::fromWindowsColor(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void CButtonST::resetColors() {
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    for (int i = 0; i < BTNST_MAX_COLORS; i += 2) {
        m_colors[i] = face;
        m_colors[i + 1] = text;
    }
}

void CButtonST::attachStyle(unsigned style) {
    const unsigned type = style & 0x1F;
    m_default = type == kDefPushButton;
    m_checkbox = type == kCheckBox || type == kAutoCheckBox;
    setCheckable(m_checkbox);
    update();
}

int CButtonST::SetSwatch(std::uint32_t windowsColor, int mode) {
    if (mode < 0 || mode > 3)
        return BTNST_INVALIDINDEX;
    m_swatchMode = mode;
    m_swatchColor = fromWindowsColor(windowsColor);
    update();
    return BTNST_OK;
}

bool CButtonST::SetBitmaps(const std::string& resourceName, std::uint32_t transparentWindowsColor) {
    QPixmap pixmap = acuiLoadBitmap(resourceName);
    if (pixmap.isNull())
        return false;
    pixmap.setMask(pixmap.createMaskFromColor(fromWindowsColor(transparentWindowsColor)));
    m_picture = pixmap;
    update();
    return true;
}

bool CButtonST::SetIcon(unsigned resourceId) {
    QPixmap pixmap;
    if (!pixmap.loadFromData(acuiLoadResourceData("ICON", resourceId)))
        return false;
    m_picture = pixmap;
    update();
    return true;
}

void CButtonST::SetTooltipText(const std::string& text, bool activate) {
    setToolTip(activate ? QString::fromStdString(text) : QString());
}

void CButtonST::SetFlat(bool flat) {
    m_flat = flat;
    update();
}

int CButtonST::SetColor(int index, const QColor& color) {
    if (index < 0 || index >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_colors[index] = color;
    update();
    return BTNST_OK;
}

QColor CButtonST::color(int index) const {
    return index >= 0 && index < BTNST_MAX_COLORS ? m_colors[index] : QColor();
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) && rect().contains(event->position().toPoint()) &&
        !m_hover) {
        m_hover = true;
        update();
    }
    QPushButton::mouseMoveEvent(event);
}

// A double click is a second click: the pickers apply a colour twice.
void CButtonST::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CButtonST::leaveEvent(QEvent* event) {
    if (m_hover) {
        m_hover = false;
        update();
    }
    QPushButton::leaveEvent(event);
}

void CButtonST::changeEvent(QEvent* event) {
    // The colours follow the system's until set, and are reset when it changes.
    if (event->type() == QEvent::PaletteChange) {
        resetColors();
        update();
    }
    QPushButton::changeEvent(event);
}

void CButtonST::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const bool pressed = m_checkbox ? isChecked() : isDown();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    const QPalette& pal = palette();
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor highlight = pal.color(QPalette::Light);

    int bk = BTNST_COLOR_BK_OUT;
    if (m_hover || pressed)
        bk = BTNST_COLOR_BK_IN;
    else if (focused)
        bk = BTNST_COLOR_BK_FOCUS;
    p.fillRect(r, m_colors[bk]);

    if (m_swatchMode >= 0 && m_swatchMode <= 2) {
        const QRect inner = r.adjusted(3, 3, -3, -3);
        if (m_swatchMode == 0)
            p.fillRect(inner, m_swatchColor);
        p.setPen(shadow);
        p.setBrush(Qt::NoBrush);
        p.drawRect(inner.adjusted(0, 0, -1, -1));
    }

    // A flat button shows its edge only while pointed at or pressed.
    auto frame3d = [&](const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    };
    if (m_flat) {
        if (pressed)
            frame3d(shadow, highlight);
        else if (m_hover)
            frame3d(highlight, shadow);
    } else {
        frame3d(pressed ? shadow : highlight, pressed ? highlight : shadow);
        if (m_default) {
            p.setPen(pal.color(QPalette::Shadow));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }

    if (!m_picture.isNull()) {
        QRect target(QPoint(0, 0), m_picture.size() / m_picture.devicePixelRatio());
        target.moveCenter(r.center());
        if (pressed)
            target.translate(1, 1);
        p.drawPixmap(target, m_picture);
    }

    const QString caption = text();
    if (!caption.isEmpty()) {
        QRect area = r.adjusted(2, 2, -2, -2);
        if (pressed)
            area.translate(1, 1);
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        p.setFont(font());
        if (disabled) {
            p.setPen(highlight);
            p.drawText(area.translated(1, 1), flags, caption);
            p.setPen(shadow);
            p.drawText(area, flags, caption);
        } else {
            p.setPen(m_colors[bk + 1]);
            p.drawText(area, flags, caption);
        }
    }

    if (!m_flat && focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = r.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}
