#pragma once
// A toolbar button that carries its command id, may have a drop-down arrow
// (a press on the arrow is reported instead of a click), and may show a
// colour strip under its picture.

#include <QColor>
#include <QToolButton>

class KvToolButton : public QToolButton {
    Q_OBJECT
public:
    KvToolButton(unsigned commandId, QWidget* parent = nullptr);

    unsigned commandId() const { return m_commandId; }
    void setDropDown(bool on);
    bool hasDropDown() const { return m_dropDown; }
    // No colour (invalid) paints no strip.
    void setStripColor(const QColor& color);
    QColor stripColor() const { return m_strip; }
    // The arrow's part of the button, in button coordinates.
    QRect arrowRect() const;

signals:
    void commandClicked(unsigned commandId);
    void dropDownPressed(unsigned commandId);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    unsigned m_commandId;
    bool m_dropDown = false;
    QColor m_strip;
};
