#include "controls/ItemPicker.h"

#include "controls/AlignPicker.h"
#include "controls/BorderPicker.h"
#include "controls/ButtonST.h"
#include "controls/Caption.h"
#include "tableops/CellFormatting.h"

#include "acuiresources.h"
#include "cadhost/dialog_template.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace {

// Dialog units of the template's font: a quarter of the average width of the
// Latin letters across, an eighth of the line height down.
struct Units {
    int avg = 4, height = 8;
    explicit Units(const QFont& font) {
        const QFontMetrics fm(font);
        const int letters = fm.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        avg = std::max(1, (letters / 26 + 1) / 2);
        height = std::max(1, fm.height());
    }
    QRect rect(int x, int y, int w, int h) const {
        const int left = x * avg / 4, top = y * height / 8;
        return QRect(left, top, (x + w) * avg / 4 - left, (y + h) * height / 8 - top);
    }
};

std::function<CBorderPicker::Settings()>& settingsSource() {
    static std::function<CBorderPicker::Settings()> source;
    return source;
}

} // namespace

CItemPicker::CItemPicker(QWidget* owner, const char* title, const ItemTable* items, int count,
                         unsigned templateId, int firstId)
    : QDialog(owner), m_items(items), m_count(count), m_templateId(templateId), m_firstId(firstId),
      m_title(QString::fromUtf8(title)) {
    setWindowTitle(m_title);
    setModal(false);
}

bool CItemPicker::Create(QWidget* parent) {
    if (!m_buttons.empty())
        return true;
    const QByteArray data = acuiLoadResourceData("DIALOG", m_templateId);
    const auto tmpl = cadhost::DialogTemplate::parse(data.toStdString());
    if (data.isEmpty() || !tmpl)
        return false;
    // A small window of its own with its own title strip: no system caption.
    setParent(parent, Qt::Tool | Qt::FramelessWindowHint);
    setWindowTitle(m_title);
    setModal(false);
    QFont font(QString::fromStdString(tmpl->fontName));
    font.setPointSize(tmpl->fontPointSize);
    setFont(font);
    const Units units(font);
    const QRect client = units.rect(0, 0, tmpl->width, tmpl->height);
    setFixedSize(client.size());

    if (const cadhost::DialogControl* strip = tmpl->control(kPickerTitleStripId)) {
        m_titleStrip = units.rect(strip->x, strip->y, strip->width, strip->height);
        // The strip is painted by the picker; the control only marks its place.
        auto* marker = new QWidget(this);
        marker->setGeometry(m_titleStrip);
        marker->setProperty("controlId", kPickerTitleStripId);
        marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (int i = 0; i < m_count; ++i) {
        auto* b = new CButtonST(this);
        const int id = m_firstId + i;
        if (const cadhost::DialogControl* c = tmpl->control(id))
            b->setGeometry(units.rect(c->x, c->y, c->width, c->height));
        b->setProperty("controlId", id);
        b->SetBitmaps(m_items[i].bitmapName, 0x000000); // black is transparent
        b->SetTooltipText(m_items[i].name);
        connect(b, &QAbstractButton::clicked, this, [this, i] { onItem(i); });
        m_buttons.push_back(b);
    }
    // A 15 x 13 pixel close box at the top right corner, one pixel down.
    m_closeBox = QRect(client.width() - 15, 1, 15, 13);
    m_captionFont = caption::fitted(m_title, m_titleStrip.width() - 1 - m_closeBox.width());
    hide();
    return true;
}

CButtonST* CItemPicker::itemButton(int item) const {
    return item >= 0 && item < static_cast<int>(m_buttons.size())
               ? m_buttons[static_cast<std::size_t>(item)]
               : nullptr;
}

bool CItemPicker::keepsFocusAt(const QPoint& globalCursor) const {
    return isVisible() && frameGeometry().contains(globalCursor);
}

int CItemPicker::keepFocusQuery() const {
    return keepsFocusAt(QCursor::pos()) ? 1 : 0;
}

void CItemPicker::clickControl(int id) {
    if (CButtonST* b = itemButton(id - m_firstId))
        b->click();
}

void CItemPicker::onItem(int item) {
    applyItem(item);
    emit itemApplied(item);
}

void CItemPicker::setClosePushed(bool pushed) {
    if (pushed == m_closePushed)
        return;
    m_closePushed = pushed;
    update(m_closeBox);
}

void CItemPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.fillRect(m_titleStrip, caption::active(palette()));
    if (!m_title.isEmpty()) {
        p.setFont(m_captionFont);
        p.setPen(Qt::white);
        p.drawText(
            QRect(m_titleStrip.left() + 1, 0, m_titleStrip.width() - 1, m_titleStrip.height()),
            Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }
    if (m_closeBox.isEmpty())
        return;
    // The caption's close button: a face-coloured box with a cross, its edge
    // sunken while pushed.
    const QRect box = m_closeBox.adjusted(0, 0, -1, -1);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Shadow);
    p.fillRect(m_closeBox, palette().color(QPalette::Button));
    p.setPen(m_closePushed ? dark : light);
    p.drawLine(box.topLeft(), box.topRight());
    p.drawLine(box.topLeft(), box.bottomLeft());
    p.setPen(m_closePushed ? light : dark);
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
    const int shift = m_closePushed ? 1 : 0;
    const QPoint c = m_closeBox.center() + QPoint(shift, shift);
    p.setPen(QPen(palette().color(QPalette::ButtonText), 1.5));
    p.drawLine(c + QPoint(-3, -3), c + QPoint(3, 3));
    p.drawLine(c + QPoint(-3, 3), c + QPoint(3, -3));
}

void CItemPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (m_closeBox.contains(at)) {
        setClosePushed(true);
        return;
    }
    if (m_titleStrip.contains(at)) {
        // Moved as if its caption had been grabbed, until the release (the
        // tear-off hands the drag over with a press on the strip).
        m_movingWindow = true;
        m_grabOffset = event->globalPosition().toPoint() - pos();
        grabMouse();
    }
}

void CItemPicker::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_movingWindow) {
        move(event->globalPosition().toPoint() - m_grabOffset);
        return;
    }
    if (m_closePushed && !m_closeBox.contains(at))
        setClosePushed(false);
}

void CItemPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool close = m_closePushed && m_closeBox.contains(event->position().toPoint());
    if (m_movingWindow) {
        m_movingWindow = false;
        releaseMouse();
    }
    setClosePushed(false);
    // Closing hides the picker; it stays in existence for the next tear-off.
    if (close)
        reject();
}

void CItemPicker::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    keepOnScreen();
}

void CItemPicker::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    keepOnScreen();
}

void CItemPicker::keepOnScreen() {
    // Placed by the toolbar under its button, or dragged by its strip: a
    // picker off the screen could not be reached again.
    if (m_keeping || !isWindow() || !isVisible())
        return;
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect a = s->availableGeometry();
    const QRect f = frameGeometry();
    const popupgrid::Rect in =
        keepInsideScreen({f.left(), f.top(), f.left() + f.width(), f.top() + f.height()},
                         {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
    if (in.left != f.left() || in.top != f.top()) {
        m_keeping = true;
        move(pos() + QPoint(in.left - f.left(), in.top - f.top()));
        m_keeping = false;
    }
}

CBorderPicker::CBorderPicker(QWidget* owner)
    : CItemPicker(owner, "Border", kBorderItems, kBorderItemCount, 207, kBorderPickerFirstId) {}

void CBorderPicker::setSettingsSource(std::function<Settings()> source) {
    settingsSource() = std::move(source);
}

CBorderPicker::Settings CBorderPicker::currentSettings() {
    const auto& source = settingsSource();
    return source ? source() : Settings{};
}

void CBorderPicker::applyItem(int style) {
    // Read at the click: the colour and weight the toolbar shows now.
    const Settings s = currentSettings();
    formatSelectionBorders(style, colorFromRemembered(s.rememberedBorderColor), s.lineWeight);
}

CAlignPicker::CAlignPicker(QWidget* owner)
    : CItemPicker(owner, "Alignment", kAlignItems, kAlignItemCount, 203, kAlignPickerFirstId) {}

void CAlignPicker::applyItem(int item) {
    formatSelectionAlignment(item + 1);
}
