#include "controls/ItemPopup.h"

#include "controls/Caption.h"

#include "acuiresources.h"
#include "acwin.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

QRect toQRect(const popupgrid::Rect& r) {
    return r.isEmpty() ? QRect() : QRect(r.left, r.top, r.width(), r.height());
}

popupgrid::Key keyOf(int qtKey) {
    using K = popupgrid::Key;
    switch (qtKey) {
    case Qt::Key_Up:
        return K::Up;
    case Qt::Key_Down:
        return K::Down;
    case Qt::Key_Left:
        return K::Left;
    case Qt::Key_Right:
        return K::Right;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return K::Enter;
    case Qt::Key_Space:
        return K::Space;
    case Qt::Key_Escape:
        return K::Escape;
    default:
        return K::Other;
    }
}

// A 1-pixel 3-D frame: light on the top and left, dark on the bottom and right.
void drawEdge(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

CItemPopup::CItemPopup(const ItemTable* items, const itemgrid::Layout& layout, int posX, int posY,
                       QWidget* owner)
    : QWidget(owner, Qt::Popup), m_items(items), m_layout(layout), m_posX(posX), m_posY(posY) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // Loaded now, while the caller's resources are current.
    m_pictures.reserve(m_layout.count());
    for (int i = 0; i < m_layout.count(); ++i)
        m_pictures.push_back(acuiLoadBitmap(std::string(m_items[i].bitmapName)));

    // A popup opened off the screen could be neither seen nor used.
    popupgrid::Rect want{posX, posY, posX + m_layout.width(), posY + m_layout.height()};
    QScreen* screen = QGuiApplication::screenAt(QPoint(posX, posY));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect a = screen->availableGeometry();
        want =
            keepInsideScreen(want, {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
    }
    m_windowRect = QRect(want.left, want.top, want.width(), want.height());
    setGeometry(m_windowRect);
}

CItemPopup::~CItemPopup() {
    if (m_loop)
        m_loop->exit(IDCANCEL);
}

QRect CItemPopup::cellRect(int item) const {
    return toQRect(m_layout.cellRect(item));
}
QRect CItemPopup::tearOffRect() const {
    return toQRect(m_layout.tearOffRect());
}

int CItemPopup::DoModal() {
    if (m_loop)
        return IDCANCEL;
    m_result = 0;
    setGeometry(m_windowRect);
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
    QEventLoop loop;
    m_loop = &loop;
    // Ended before the loop started (a close while showing): no loop to run.
    if (m_result == 0)
        loop.exec();
    m_loop = nullptr;
    hide();
    return m_result == IDOK ? IDOK : IDCANCEL;
}

void CItemPopup::finish(int result) {
    if (m_result != 0)
        return;
    m_result = result;
    if (m_loop)
        m_loop->exit(result);
    hide();
}

void CItemPopup::setSelection(int item) {
    if (item == m_selection)
        return;
    const int old = m_selection;
    m_selection = item;
    if (old >= 0)
        update(cellRect(old));
    if (item >= 0)
        update(cellRect(item));
}

void CItemPopup::chooseEntry(int item) {
    if (item >= 0 && item < m_layout.count()) {
        setSelection(item);
        finish(IDOK);
    } else {
        setSelection(-1);
        finish(IDOK);
    }
}

void CItemPopup::tearOff() {
    m_tornOff = true;
    setSelection(-1);
    finish(IDCANCEL);
}

QString CItemPopup::toolTipAt(const QPoint& at) const {
    const int item = m_layout.hitTest(at.x(), at.y());
    if (item >= 0 && cellRect(item).contains(at))
        return QString::fromUtf8(m_items[item].name);
    if (tearOffRect().contains(at))
        return QStringLiteral("Drag to make this menu float");
    return {};
}

bool CItemPopup::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint at = help->pos();
        const QString text = toolTipAt(at);
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            // Shown while the pointer stays on that cell or on the bar.
            const int item = m_layout.hitTest(at.x(), at.y());
            QToolTip::showText(help->globalPos(), text, this,
                               item >= 0 ? cellRect(item) : tearOffRect());
        }
        return true;
    }
    return QWidget::event(event);
}

void CItemPopup::paintCell(QPainter& p, int item) {
    const QRect cell = cellRect(item);
    p.fillRect(cell, palette().color(QPalette::Button));
    if (item == m_selection)
        drawEdge(p, cell, palette().color(QPalette::Light), palette().color(QPalette::Dark));
    const QPixmap& pic = m_pictures[static_cast<std::size_t>(item)];
    if (!pic.isNull())
        p.drawPixmap(cell.left() + (cell.width() - pic.width()) / 2,
                     cell.top() + (cell.height() - pic.height()) / 2, pic);
}

void CItemPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    for (int i = 0; i < m_layout.count(); ++i)
        paintCell(p, i);
    // Raised outer and inner edges around the client area.
    const QRect r = rect();
    drawEdge(p, r, palette().color(QPalette::Button), palette().color(QPalette::Shadow));
    drawEdge(p, r.adjusted(1, 1, -1, -1), palette().color(QPalette::Light),
             palette().color(QPalette::Dark));
    // Drawn like a window's caption, lit while the pointer is over it.
    p.fillRect(tearOffRect(), m_tearOffHot ? caption::active(palette()) : caption::inactive());
}

void CItemPopup::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        setSelection(-1);
        finish(IDCANCEL);
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_rules.press(at.x(), at.y(), tearOffRect().contains(at));
}

void CItemPopup::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_rules.tearsOff(at.x(), at.y())) {
        m_tornOff = true;
        setSelection(-1);
        finish(IDCANCEL);
        return;
    }
    const bool hot = tearOffRect().contains(at);
    if (hot != m_tearOffHot) {
        m_tearOffHot = hot;
        update(tearOffRect());
    }
    setSelection(m_layout.hitTest(at.x(), at.y()));
}

void CItemPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const bool inside = rect().contains(at);
    const bool onBar = tearOffRect().contains(at);
    using R = popupgrid::PointerRules::Release;
    switch (m_rules.release(inside, onBar)) {
    case R::Ignore:
        return;
    case R::Accept:
        // The item under the release is the one clicked, even when no move
        // reached the popup between press and release.
        setSelection(m_layout.hitTest(at.x(), at.y()));
        finish(IDOK);
        return;
    case R::Cancel:
        setSelection(-1);
        finish(IDCANCEL);
        return;
    }
}

void CItemPopup::keyPressEvent(QKeyEvent* event) {
    using A = popupgrid::KeyResult::Action;
    const popupgrid::KeyResult r = m_layout.navigate(m_selection, keyOf(event->key()));
    switch (r.action) {
    case A::Select:
        setSelection(r.entry);
        return;
    case A::Accept:
        finish(IDOK);
        return;
    case A::Cancel:
        setSelection(-1);
        finish(IDCANCEL);
        return;
    case A::Unhandled:
        event->ignore();
        return;
    }
}

void CItemPopup::closeEvent(QCloseEvent* event) {
    // Closed from outside (the application deactivated, a click elsewhere
    // that the window system took): nothing chosen.
    if (m_result == 0) {
        setSelection(-1);
        finish(IDCANCEL);
    }
    event->accept();
}
