#include "controls/ColorPicker.h"

#include "controls/ButtonST.h"
#include "controls/Caption.h"
#include "controls/ColorPalette.h"

#include "acui.h"
#include "acuiresources.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>

namespace {

constexpr int kTemplateId = 200;
constexpr int kEtchedLineId = 1004;
constexpr int kCloseBoxWidth = 15;
constexpr int kCloseBoxHeight = 13;

} // namespace

CColorPicker::CColorPicker(QWidget* owner, const std::string& title)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint), m_title(title),
      m_colorDialog(hostPickerColorDialog()) {
    setWindowTitle(QString::fromStdString(title));
    setModal(false);
}

bool CColorPicker::Create(QWidget* parent) {
    if (!m_buttons.empty())
        return true;
    std::string error;
    const QByteArray data = acuiLoadResourceData("DIALOG", kTemplateId);
    auto tmpl =
        cadhost::DialogTemplate::parse(std::string_view(data.constData(), data.size()), &error);
    if (!tmpl)
        return false;
    if (parent && parent != parentWidget())
        setParent(parent, windowFlags());

    QFont font(QString::fromStdString(tmpl->fontName));
    font.setPointSize(tmpl->fontPointSize);
    setFont(font);
    const hostui::DialogUnits units = hostui::DialogUnits::fromFont(font);
    const QRect whole = units.toPixels(0, 0, tmpl->width, tmpl->height);
    setFixedSize(whole.size());

    m_buttons.assign(kPickerLastSwatchId - kPickerByBlockId + 1, nullptr);
    for (const cadhost::DialogControl& c : tmpl->controls) {
        const QRect r = units.toPixels(c.x, c.y, c.width, c.height);
        if (c.id == kPickerTitleStripId) {
            m_titleStrip = r;
            // The strip is painted and handled by the picker itself.
            auto* strip = new QWidget(this);
            strip->setGeometry(r);
            strip->setProperty("controlId", c.id);
            strip->setAttribute(Qt::WA_TransparentForMouseEvents);
            continue;
        }
        if (c.kind == cadhost::DialogControl::Kind::Label && c.etched) {
            auto* line = new QFrame(this);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setGeometry(r.x(), r.y(), r.width(), std::max(2, r.height()));
            line->setProperty("controlId", c.id);
            continue;
        }
        if (c.kind != cadhost::DialogControl::Kind::PushButton || c.id < kPickerByBlockId ||
            c.id > kPickerLastSwatchId)
            continue;
        auto* b = new CButtonST(this);
        b->setGeometry(r);
        b->setProperty("controlId", c.id);
        b->setText(QString::fromStdString(c.text));
        const int id = c.id;
        connect(b, &QPushButton::clicked, this, [this, id] { onCommand(id); });
        m_buttons[c.id - kPickerByBlockId] = b;
    }

    // Initialisation: swatches with their colours and names, the two
    // text buttons with a frame.
    const std::uint32_t face = [this] {
        const QColor c = palette().color(QPalette::Button);
        return windowsRgb(c.red(), c.green(), c.blue());
    }();
    for (int e = 0; e < kPaletteColorCount; ++e)
        if (CButtonST* b = button(kPickerFirstSwatchId + e)) {
            b->SetSwatch(colorPalette[e].color, 0);
            b->SetTooltipText(colorPalette[e].name);
        }
    if (CButtonST* more = button(kPickerMoreColorsId)) {
        more->SetSwatch(face, 2);
        more->setText(QStringLiteral("More Colors..."));
    }
    if (CButtonST* byBlock = button(kPickerByBlockId)) {
        byBlock->SetSwatch(face, 1);
        byBlock->setText(QStringLiteral("ByBlock"));
    }
    m_closeBox = QRect(width() - kCloseBoxWidth, 1, kCloseBoxWidth, kCloseBoxHeight);
    m_captionFont =
        caption::fitted(QString::fromStdString(m_title), m_titleStrip.width() - 1 - kCloseBoxWidth);
    hide();
    return true;
}

CButtonST* CColorPicker::button(int id) const {
    const int i = id - kPickerByBlockId;
    return i >= 0 && i < static_cast<int>(m_buttons.size()) ? m_buttons[i] : nullptr;
}

bool CColorPicker::keepsFocusAt(const QPoint& globalCursor) const {
    return isVisible() && frameGeometry().contains(globalCursor);
}

int CColorPicker::keepFocusQuery() const {
    return keepsFocusAt(QCursor::pos()) ? 1 : 0;
}

void CColorPicker::clickControl(int id) {
    if (id == kPickerByBlockId || id == kPickerMoreColorsId ||
        (id >= kPickerFirstSwatchId && id <= kPickerLastSwatchId))
        onCommand(id);
}

void CColorPicker::onCommand(int id) {
    // A table without selection is reported by the table frame; the picker
    // stays open either way.
    runPickerCommand(m_title, id, m_colorDialog);
}

void CColorPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.fillRect(m_titleStrip, caption::active(palette()));
    if (!m_title.empty()) {
        p.setFont(m_captionFont);
        p.setPen(Qt::white);
        p.drawText(m_titleStrip.adjusted(1, 0, -kCloseBoxWidth, 0),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(m_title));
    }
    if (m_closeBox.isEmpty())
        return;
    // The close box: a small button with a cross, sunken while pushed.
    const QRect box = m_closeBox.adjusted(1, 1, -1, -1);
    p.fillRect(box, palette().color(QPalette::Button));
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    p.setPen(m_closePushed ? dark : light);
    p.drawLine(box.topLeft(), box.topRight());
    p.drawLine(box.topLeft(), box.bottomLeft());
    p.setPen(m_closePushed ? light : dark);
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
    const QRect cross =
        box.adjusted(4, 3, -4, -3).translated(m_closePushed ? 1 : 0, m_closePushed ? 1 : 0);
    p.setPen(QPen(palette().color(QPalette::ButtonText), 1.5));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

void CColorPicker::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(e);
    const QPoint p = e->position().toPoint();
    if (m_closeBox.contains(p)) {
        m_closePushed = true;
        update(m_closeBox);
        return;
    }
    if (m_titleStrip.contains(p)) {
        // Follow the mouse as if the caption had been grabbed, until release.
        m_moving = true;
        m_grabOffset = e->globalPosition().toPoint() - pos();
        grabMouse();
        return;
    }
    QDialog::mousePressEvent(e);
}

void CColorPicker::mouseMoveEvent(QMouseEvent* e) {
    if (m_moving) {
        move(e->globalPosition().toPoint() - m_grabOffset);
        return;
    }
    if (m_closePushed && !m_closeBox.contains(e->position().toPoint())) {
        m_closePushed = false;
        update(m_closeBox);
    }
    QDialog::mouseMoveEvent(e);
}

void CColorPicker::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return QDialog::mouseReleaseEvent(e);
    if (m_moving) {
        m_moving = false;
        releaseMouse();
    }
    const bool close = m_closePushed && m_closeBox.contains(e->position().toPoint());
    m_closePushed = false;
    update(m_closeBox);
    if (close)
        reject(); // hides; the picker stays for the next tear-off
}

void CColorPicker::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    keepOnScreen();
}

void CColorPicker::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    keepOnScreen();
}

void CColorPicker::keepOnScreen() {
    if (m_keeping || !isWindow())
        return;
    QScreen* s = screen();
    if (!s)
        return;
    const QRect avail = s->availableGeometry();
    QRect r = frameGeometry();
    if (r.right() > avail.right())
        r.moveRight(avail.right());
    if (r.bottom() > avail.bottom())
        r.moveBottom(avail.bottom());
    if (r.left() < avail.left())
        r.moveLeft(avail.left());
    if (r.top() < avail.top())
        r.moveTop(avail.top());
    if (r.topLeft() != frameGeometry().topLeft()) {
        m_keeping = true;
        move(r.topLeft());
        m_keeping = false;
    }
}
