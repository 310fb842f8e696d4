#include "controls/Hyperlink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

CHyperlink::CHyperlink() {
    setCursor(Qt::ArrowCursor);
    m_background = palette().color(QPalette::Window);
    m_opener = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
}

void CHyperlink::SetColours(const QColor& hover, const QColor& normal, const QColor& background) {
    m_hover = hover;
    m_normal = normal;
    m_background = background;
    m_current = normal;
    update();
}

void CHyperlink::SetLinkText(const std::string& text) {
    m_text = QString::fromStdString(text);
    update();
}

void CHyperlink::SetLinkAddress(const std::string& address) {
    m_address = QString::fromStdString(address);
}

void CHyperlink::SetLinkCursor(const QCursor& cursor) {
    setCursor(cursor);
}

bool CHyperlink::CreateOver(QWidget* placeholder, int id) {
    if (!placeholder || !placeholder->parentWidget())
        return false;
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    QFont f = placeholder->font();
    f.setUnderline(m_underline);
    setFont(f);
    setProperty("controlId", id);
    placeholder->hide();
    show();
    return true;
}

void CHyperlink::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
    p.setFont(font());
    p.setPen(m_current);
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, m_text);
}

void CHyperlink::enterEvent(QEnterEvent* event) {
    m_current = m_hover;
    update();
    QWidget::enterEvent(event);
}

void CHyperlink::leaveEvent(QEvent* event) {
    m_current = m_normal;
    update();
    QWidget::leaveEvent(event);
}

void CHyperlink::mouseReleaseEvent(QMouseEvent* event) {
    // A press dragged off the link and released elsewhere opens nothing.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        !m_address.isEmpty() && m_opener)
        m_opener(m_address);
    QWidget::mouseReleaseEvent(event);
}
