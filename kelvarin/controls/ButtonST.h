#pragma once
// CButtonST: a flat owner-drawn push button with an optional picture, caption,
// tooltip and colour swatch. The floating pickers are grids of these; a click
// reaches the parent as the ordinary clicked() signal.

#include <QPixmap>
#include <QPushButton>

#include <cstdint>
#include <string>

class CButtonST : public QPushButton {
    Q_OBJECT
public:
    enum Result { BTNST_OK = 0, BTNST_INVALIDINDEX = 3 };
    // Swatch modes: -1 none, 0 a filled colour swatch, 1 and 2 a frame only.
    enum { SWATCH_NONE = -1 };
    // The six colours, by index.
    enum ColorIndex {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN,
        BTNST_COLOR_BK_OUT,
        BTNST_COLOR_FG_OUT,
        BTNST_COLOR_BK_FOCUS,
        BTNST_COLOR_FG_FOCUS,
        BTNST_MAX_COLORS
    };

    explicit CButtonST(QWidget* parent = nullptr);

    // Takes the style a dialog button had (its low 5 bits): a default push
    // button keeps the default flag, a check box style turns on checkbox mode.
    void attachStyle(unsigned style);
    bool checkboxMode() const { return m_checkbox; }
    bool defaultFlag() const { return m_default; }

    // Mode 0..3; BTNST_INVALIDINDEX (nothing changes) for any other mode.
    int SetSwatch(std::uint32_t windowsColor, int mode);
    int swatchMode() const { return m_swatchMode; }
    QColor swatchColor() const { return m_swatchColor; }

    // A bitmap resource by name, pixels of the transparent colour left out;
    // false when the resource is missing.
    bool SetBitmaps(const std::string& resourceName, std::uint32_t transparentWindowsColor);
    // An icon resource by id; false when missing.
    bool SetIcon(unsigned resourceId);
    const QPixmap& picture() const { return m_picture; }

    void SetTooltipText(const std::string& text, bool activate = true);
    void SetFlat(bool flat);
    bool isFlatButton() const { return m_flat; }
    int SetColor(int index, const QColor& color);
    QColor color(int index) const;
    bool hovering() const { return m_hover; }

    // Windows colour value (red in the low byte) as a QColor.
    static QColor fromWindowsColor(std::uint32_t c);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void resetColors();

    bool m_flat = true;
    bool m_hover = false;
    bool m_checkbox = false;
    bool m_default = false;
    QColor m_colors[BTNST_MAX_COLORS];
    int m_swatchMode = SWATCH_NONE;
    QColor m_swatchColor;
    QPixmap m_picture;
};
