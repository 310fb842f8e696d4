#include "controls/ColorPopup.h"

#include "controls/Caption.h"

#include "acwin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>

namespace {

// The platform's 3-D edge width.
constexpr int kEdge = 2;
constexpr int kBoxSize = 18;

QColor windowsColor(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QRect toQRect(const popupgrid::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

popupgrid::GridParams popupParams(const QFont& font, const QString& defaultText,
                                  const QString& customText, bool tearOff) {
    popupgrid::GridParams params;
    params.count = kPaletteColorCount;
    params.columns = kPaletteColumns;
    params.boxSize = kBoxSize;
    params.margin = kEdge;
    params.tearOff = tearOff;
    params.hasDefault = !defaultText.isEmpty();
    params.hasCustom = !customText.isEmpty();
    const QFontMetrics fm(font);
    for (const QString& t : {defaultText, customText}) {
        if (t.isEmpty())
            continue;
        params.textWidth = std::max(params.textWidth, fm.horizontalAdvance(t));
        params.textHeight = std::max(params.textHeight, fm.height());
    }
    return params;
}

// A raised or sunken edge of the platform's kind (outer and inner lines).
void drawEdge(QPainter& p, const QRect& r, bool raised, bool innerOnly, const QPalette& pal) {
    const QColor light = pal.color(QPalette::Light);
    const QColor mid = pal.color(QPalette::Midlight);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);
    auto frame = [&](const QRect& f, const QColor& tl, const QColor& br) {
        p.setPen(tl);
        p.drawLine(f.topLeft(), f.topRight());
        p.drawLine(f.topLeft(), f.bottomLeft());
        p.setPen(br);
        p.drawLine(f.bottomLeft(), f.bottomRight());
        p.drawLine(f.topRight(), f.bottomRight());
    };
    if (innerOnly) {
        frame(r, raised ? light : dark, raised ? dark : light);
        return;
    }
    frame(r, raised ? mid : dark, raised ? shadow : light);
    frame(r.adjusted(1, 1, -1, -1), raised ? light : shadow, raised ? dark : mid);
}

} // namespace

// The tear-off bar: a child of its own so that scripts and tests can drag it;
// it paints the caption colour and hands its mouse to the popup.
class ColorPopupBar : public QWidget {
public:
    explicit ColorPopupBar(CColorPopup* popup) : QWidget(popup), m_popup(popup) {
        setObjectName(QStringLiteral("tearOffBar"));
        setMouseTracking(true);
    }
    bool hot = false;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), hot ? caption::active(palette()) : caption::inactive());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            m_popup->barPressed(mapTo(m_popup, e->position().toPoint()));
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        m_popup->barMoved(mapTo(m_popup, e->position().toPoint()), e->buttons());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            m_popup->barReleased(mapToGlobal(e->position().toPoint()));
    }

private:
    CColorPopup* m_popup;
};

CColorPopup::CColorPopup(int posX, int posY, std::uint32_t initialColor, QWidget* owner,
                         const std::string& defaultText, const std::string& customText,
                         bool tearOffAllowed)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_tearOffAllowed(tearOffAllowed),
      m_defaultText(QString::fromStdString(defaultText)),
      m_customText(QString::fromStdString(customText)),
      m_layout(
          popupParams(QApplication::font("QMenu"), m_defaultText, m_customText, tearOffAllowed)),
      m_rules(tearOffAllowed) {
    setFont(QApplication::font("QMenu"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_initialEntry =
        initialPaletteEntry(initialColor, !m_defaultText.isEmpty(), !m_customText.isEmpty());

    // Placed at the given corner, moved back inside the screen when a part
    // of it would be off the screen (a palette half off-screen is useless).
    QRect r(posX, posY, m_layout.width(), m_layout.height());
    QScreen* screen = QGuiApplication::screenAt(QPoint(posX, posY));
    if (!screen)
        screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        if (r.right() > avail.right())
            r.moveRight(avail.right());
        if (r.bottom() > avail.bottom())
            r.moveBottom(avail.bottom());
        if (r.left() < avail.left())
            r.moveLeft(avail.left());
        if (r.top() < avail.top())
            r.moveTop(avail.top());
    }
    m_windowRect = r;
    setGeometry(r);

    if (tearOffAllowed) {
        auto* bar = new ColorPopupBar(this);
        bar->setGeometry(toQRect(m_layout.tearOffRect()));
        m_bar = bar;
    }
}

CColorPopup::~CColorPopup() {
    if (m_loop)
        m_loop->exit(IDCANCEL);
}

int CColorPopup::DoModal() {
    if (m_loop)
        return IDCANCEL;
    m_result = IDCANCEL;
    QEventLoop loop;
    m_loop = &loop;
    QPointer<CColorPopup> self(this);
    show();
    activateWindow();
    setFocus();
    loop.exec(QEventLoop::DialogExec);
    if (!self)
        return IDCANCEL;
    m_loop = nullptr;
    hide();
    return m_result;
}

int CColorPopup::paletteColorIndex() const {
    if (m_selection >= 0 && m_selection < kPaletteColorCount)
        return ::paletteColorIndex(m_selection);
    return m_selection;
}

void CColorPopup::end(int result) {
    m_result = result;
    if (m_loop)
        m_loop->exit(result);
}

void CColorPopup::setSelection(int entry) {
    if (entry == m_selection)
        return;
    const QRect old = toQRect(m_layout.entryRect(m_selection));
    m_selection = entry;
    if (!old.isEmpty())
        update(old);
    const QRect now = toQRect(m_layout.entryRect(entry));
    if (!now.isEmpty())
        update(now);
}

void CColorPopup::chooseEntry(int entry) {
    const bool valid = (entry >= 0 && entry < kPaletteColorCount) ||
                       (entry == popupgrid::kDefaultEntry && !m_defaultText.isEmpty()) ||
                       (entry == popupgrid::kCustomEntry && !m_customText.isEmpty());
    if (!valid)
        return;
    setSelection(entry);
    end(IDOK);
}

QString CColorPopup::toolTipAt(const QPoint& p) const {
    if (m_layout.tearOffRect().contains(p.x(), p.y()))
        return QStringLiteral("Drag to make this menu float");
    for (int e = 0; e < kPaletteColorCount; ++e)
        if (m_layout.cellRect(e).contains(p.x(), p.y()))
            return QString::fromLatin1(colorPalette[e].name);
    return {};
}

bool CColorPopup::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void CColorPopup::setBarHot(bool hot) {
    if (!m_bar || m_barHot == hot)
        return;
    m_barHot = hot;
    static_cast<ColorPopupBar*>(m_bar)->hot = hot;
    m_bar->update();
}

void CColorPopup::pointerMoved(const QPoint& p) {
    if (m_tearOffAllowed) {
        if (m_rules.tearsOff(p.x(), p.y())) {
            m_tornOff = true;
            end(IDCANCEL);
            return;
        }
        setBarHot(m_layout.tearOffRect().contains(p.x(), p.y()));
    }
    setSelection(m_layout.hitTest(p.x(), p.y()));
}

void CColorPopup::pointerReleased(const QPoint& global) {
    const QPoint local = mapFromGlobal(global);
    const bool onBar = m_layout.tearOffRect().contains(local.x(), local.y());
    switch (m_rules.release(m_windowRect.contains(global), onBar)) {
    case popupgrid::PointerRules::Release::Ignore:
        break;
    case popupgrid::PointerRules::Release::Accept:
        end(IDOK);
        break;
    case popupgrid::PointerRules::Release::Cancel:
        end(IDCANCEL);
        break;
    }
}

void CColorPopup::barPressed(const QPoint& p) {
    m_rules.press(p.x(), p.y(), true);
}

void CColorPopup::barMoved(const QPoint& p, Qt::MouseButtons) {
    pointerMoved(p);
}

void CColorPopup::barReleased(const QPoint& global) {
    pointerReleased(global);
}

void CColorPopup::mousePressEvent(QMouseEvent* e) {
    const QPoint global = e->globalPosition().toPoint();
    if (!m_windowRect.contains(global)) {
        end(IDCANCEL);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    m_rules.press(p.x(), p.y(), m_layout.tearOffRect().contains(p.x(), p.y()));
}

void CColorPopup::mouseMoveEvent(QMouseEvent* e) {
    pointerMoved(e->position().toPoint());
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        pointerReleased(e->globalPosition().toPoint());
}

void CColorPopup::keyPressEvent(QKeyEvent* e) {
    using popupgrid::Key;
    Key key = Key::Other;
    switch (e->key()) {
    case Qt::Key_Up:
        key = Key::Up;
        break;
    case Qt::Key_Down:
        key = Key::Down;
        break;
    case Qt::Key_Left:
        key = Key::Left;
        break;
    case Qt::Key_Right:
        key = Key::Right;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = Key::Enter;
        break;
    case Qt::Key_Space:
        key = Key::Space;
        break;
    case Qt::Key_Escape:
        key = Key::Escape;
        break;
    default:
        break;
    }
    const popupgrid::KeyResult r = popupgrid::navigate(m_layout, m_selection, key);
    switch (r.action) {
    case popupgrid::KeyResult::Action::Select:
        setSelection(r.entry);
        break;
    case popupgrid::KeyResult::Action::Accept:
        end(IDOK);
        break;
    case popupgrid::KeyResult::Action::Cancel:
        end(IDCANCEL);
        break;
    case popupgrid::KeyResult::Action::Unhandled:
        QWidget::keyPressEvent(e);
        break;
    }
}

void CColorPopup::closeEvent(QCloseEvent* e) {
    // Closed from outside (a click elsewhere, the window system): cancelled.
    if (m_loop)
        end(IDCANCEL);
    QWidget::closeEvent(e);
}

void CColorPopup::paintCell(QPainter& p, int e) {
    const QRect cell = toQRect(m_layout.cellRect(e));
    const QPalette& pal = palette();
    const bool chosen = e == m_initialEntry;
    const bool selected = e == m_selection;
    p.fillRect(cell,
               chosen && !selected ? pal.color(QPalette::Light) : pal.color(QPalette::Button));
    if (selected)
        drawEdge(p, cell, true, true, pal);
    else if (chosen)
        drawEdge(p, cell, false, true, pal);
    const int inset = kEdge + 1;
    const QRect swatch = cell.adjusted(inset, inset, -inset, -inset);
    p.fillRect(swatch, windowsColor(colorPalette[e].color));
    p.setPen(pal.color(QPalette::Dark));
    p.setBrush(Qt::NoBrush);
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

void CColorPopup::paintBox(QPainter& p, int entry, const QString& text) {
    const QPalette& pal = palette();
    QRect box = toQRect(m_layout.entryRect(entry));
    if (entry == popupgrid::kCustomEntry) {
        // An etched line separates the custom box from the grid.
        const int y = box.top();
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(box.left(), y, box.right(), y);
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(box.left(), y + 1, box.right(), y + 1);
        box.setTop(box.top() + 2 * kEdge);
    }
    p.fillRect(box, pal.color(QPalette::Button));
    const bool chosen = entry == m_initialEntry;
    const bool selected = entry == m_selection;
    p.fillRect(box.adjusted(1, 1, -1, -1),
               chosen && !selected ? pal.color(QPalette::Midlight) : pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Dark));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(2 * kEdge, 2 * kEdge, -2 * kEdge - 1, -2 * kEdge - 1));
    if (selected)
        drawEdge(p, box, true, true, pal);
    else if (chosen)
        drawEdge(p, box, false, true, pal);
    p.setPen(pal.color(QPalette::ButtonText));
    p.setFont(font());
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void CColorPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_defaultText.isEmpty())
        paintBox(p, popupgrid::kDefaultEntry, m_defaultText);
    for (int e = 0; e < kPaletteColorCount; ++e)
        paintCell(p, e);
    if (!m_customText.isEmpty())
        paintBox(p, popupgrid::kCustomEntry, m_customText);
    drawEdge(p, rect(), true, false, palette());
}
