#include "KvToolButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>

KvToolButton::KvToolButton(unsigned commandId, QWidget* parent)
    : QToolButton(parent), m_commandId(commandId) {
    setProperty("commandId", commandId);
    setAutoRaise(true);
    connect(this, &QToolButton::clicked, this, [this] { emit commandClicked(m_commandId); });
}

void KvToolButton::setDropDown(bool on) {
    m_dropDown = on;
    // Qt draws the arrow only for a button with a menu or actions; an action
    // of its own stands in for the menu the add-in builds itself.
    if (on && actions().isEmpty())
        addAction(new QAction(this));
    setPopupMode(on ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
    updateGeometry();
    update();
}

void KvToolButton::setStripColor(const QColor& color) {
    m_strip = color;
    update();
}

QRect KvToolButton::arrowRect() const {
    if (!m_dropDown)
        return {};
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.features |= QStyleOptionToolButton::MenuButtonPopup;
    option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
    QRect arrow =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    if (!arrow.isValid() || !rect().contains(arrow.center()))
        arrow = QRect(width() - 6, 0, 6, height());
    return arrow;
}

void KvToolButton::mousePressEvent(QMouseEvent* event) {
    if (m_dropDown && event->button() == Qt::LeftButton &&
        arrowRect().contains(event->position().toPoint())) {
        emit dropDownPressed(m_commandId);
        return;
    }
    QToolButton::mousePressEvent(event);
}

void KvToolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!m_strip.isValid())
        return;
    QRect strip(QPoint(4, 14), QPoint(18 - 1, height() - 3 - 1));
    if (isDown())
        strip.translate(1, 1);
    if (strip.height() <= 0)
        return;
    QPainter painter(this);
    painter.fillRect(strip, m_strip);
}
