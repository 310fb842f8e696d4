#pragma once
// A module's control bar in the host frame: a hostui::ControlBar created,
// docked, floated, shown and asked about with the platform's dock styles.
//
// The frame owns the bar's window. It hides every bar when it closes and
// destroys it right after, while the modules are still loaded; a module may
// destroy its bar earlier. The AcUiControlBar object itself stays valid
// until the process ends: once the window is gone its questions answer
// "hidden, not floating, nowhere" and its commands do nothing.

#include <QPointer>
#include <QRect>

#include <functional>
#include <string>

class QWidget;

namespace hostui {
class ControlBar;
}

class AcUiControlBar {
public:
    // Dock styles: the side a bar is docked on.
    static constexpr unsigned kDockLeft = 0x1000;
    static constexpr unsigned kDockTop = 0x2000;
    static constexpr unsigned kDockRight = 0x4000;
    static constexpr unsigned kDockBottom = 0x8000;
    static constexpr unsigned kDockMask = 0xF000;

    // A bar titled title holding contents (a QToolBar or any widget), docked
    // at the top of the host frame and shown; null when there is no frame or
    // no contents.
    static AcUiControlBar* create(const std::string& title, QWidget* contents, unsigned id);

    // Docks on the side of one style bit; any other value (0, two sides)
    // leaves the bar where it is.
    void dock(unsigned dockStyle);
    // Floats with the holding window's top-left corner at a screen point.
    void floatAt(int screenX, int screenY);
    // Shows or hides at once (no delayed layout).
    void show(bool visible);
    bool isVisible() const;
    bool isFloating() const;
    // The side's style bit while docked, 0 while floating.
    unsigned dockStyle() const;
    // Screen rectangle of the window that holds the bar: its floating
    // window, or the part of the frame's dock area it occupies. Empty when
    // the bar is gone.
    QRect frameRect() const;
    // Called each time the bar itself is hidden (by the module, the user's
    // close box or the frame at shutdown).
    void setOnHidden(std::function<void()> callback);
    // Called when the bar's window is destroyed, by the frame or by
    // destroy(), while it can still be asked where it is.
    void setOnDestroy(std::function<void()> callback);
    // Destroys the bar's window if it still exists.
    void destroy();

    QWidget* widget() const;
    hostui::ControlBar* controlBar() const;
    unsigned id() const { return m_id; }
    bool exists() const { return !m_bar.isNull(); }

    ~AcUiControlBar();
    AcUiControlBar(const AcUiControlBar&) = delete;
    AcUiControlBar& operator=(const AcUiControlBar&) = delete;

private:
    AcUiControlBar(hostui::ControlBar* bar, unsigned id);

    QPointer<hostui::ControlBar> m_bar;
    unsigned m_id;
    std::function<void()> m_onHidden;
    std::function<void()> m_onDestroy;
};
