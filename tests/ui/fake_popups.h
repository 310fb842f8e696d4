#pragma once
// Stand-ins for the add-in's popups and pickers, built to the conventions the
// script directives rely on.
#include "hostui/control_ids.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

class FakePopup : public QWidget {
    Q_OBJECT
public:
    FakePopup() : QWidget(nullptr, Qt::Popup) { resize(120, 80); }
    Q_INVOKABLE void chooseEntry(int entry) { chosen = entry; }
    Q_INVOKABLE void tearOff() {
        tornOff = true;
        cursorAtTearOff = QCursor::pos();
    }
    int chosen = -100;
    bool tornOff = false;
    QPoint cursorAtTearOff;
};

class FakePicker : public QWidget {
    Q_OBJECT
public:
    explicit FakePicker(const QString& title) : QWidget(nullptr, Qt::Tool) {
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        auto* button = new QPushButton(QStringLiteral("Red"), this);
        hostui::setControlId(button, 7);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] { clicked = 7; });
    }
    int clicked = 0;
};

// Counts presses on a tool button's arrow and body.
class ArrowWatcher : public QObject {
public:
    explicit ArrowWatcher(QToolButton* button) : m_button(button) {
        button->installEventFilter(this);
    }
    int pressesOnArrow = 0, pressesOnBody = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress)
            return false;
        QStyleOptionToolButton opt;
        opt.initFrom(m_button);
        opt.features |= QStyleOptionToolButton::MenuButtonPopup;
        opt.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        const QRect arrow = m_button->style()->subControlRect(QStyle::CC_ToolButton, &opt,
                                                              QStyle::SC_ToolButtonMenu, m_button);
        const QPoint pos = static_cast<QMouseEvent*>(e)->position().toPoint();
        (arrow.contains(pos) ? pressesOnArrow : pressesOnBody)++;
        return true;
    }

private:
    QToolButton* m_button;
};
