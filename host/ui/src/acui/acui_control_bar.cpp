// Module control bars over the frame's dockable bars.
#include "hostui/acui/acui_control_bar.h"

#include "hostui/control_bar.h"
#include "hostui/frame_window.h"

#include <bit>
#include <memory>
#include <vector>

namespace {

// Every wrapper ever handed out, so a module's pointer never dangles even
// after the frame destroyed the bar behind it.
std::vector<std::unique_ptr<AcUiControlBar>>& wrappers() {
    static std::vector<std::unique_ptr<AcUiControlBar>> all;
    return all;
}

Qt::DockWidgetArea areaOf(unsigned style) {
    switch (style & AcUiControlBar::kDockMask) {
    case AcUiControlBar::kDockLeft:
        return Qt::LeftDockWidgetArea;
    case AcUiControlBar::kDockTop:
        return Qt::TopDockWidgetArea;
    case AcUiControlBar::kDockRight:
        return Qt::RightDockWidgetArea;
    case AcUiControlBar::kDockBottom:
        return Qt::BottomDockWidgetArea;
    default:
        return Qt::NoDockWidgetArea;
    }
}

} // namespace

AcUiControlBar* AcUiControlBar::create(const std::string& title, QWidget* contents, unsigned id) {
    hostui::FrameWindow* frame = hostui::FrameWindow::instance();
    if (!frame || !contents)
        return nullptr;
    auto* bar = new hostui::ControlBar(QString::fromStdString(title), frame);
    bar->setContents(contents);
    frame->addControlBar(bar, Qt::TopDockWidgetArea);
    bar->show();
    wrappers().push_back(std::unique_ptr<AcUiControlBar>(new AcUiControlBar(bar, id)));
    return wrappers().back().get();
}

AcUiControlBar::AcUiControlBar(hostui::ControlBar* bar, unsigned id) : m_bar(bar), m_id(id) {
    QObject::connect(bar, &hostui::ControlBar::barHidden, [this] {
        if (m_onHidden)
            m_onHidden();
    });
    QObject::connect(bar, &hostui::ControlBar::aboutToBeDestroyed, [this] {
        // Once only, and never again for this bar.
        std::function<void()> callback = std::move(m_onDestroy);
        m_onDestroy = nullptr;
        m_onHidden = nullptr;
        if (callback)
            callback();
    });
}

AcUiControlBar::~AcUiControlBar() = default;

void AcUiControlBar::dock(unsigned dockStyle) {
    // Exactly one side: 0x3000 names two and is no place to dock.
    const unsigned side = dockStyle & kDockMask;
    if (!m_bar || std::popcount(side) != 1)
        return;
    m_bar->dockAt(areaOf(side));
}

void AcUiControlBar::floatAt(int screenX, int screenY) {
    if (m_bar)
        m_bar->floatAt(QPoint(screenX, screenY));
}

void AcUiControlBar::show(bool visible) {
    if (m_bar)
        m_bar->setVisible(visible);
}

bool AcUiControlBar::isVisible() const {
    return m_bar && !m_bar->isHidden();
}

bool AcUiControlBar::isFloating() const {
    return m_bar && m_bar->isFloating();
}

unsigned AcUiControlBar::dockStyle() const {
    if (!m_bar || m_bar->isFloating())
        return 0;
    switch (m_bar->dockedArea()) {
    case Qt::LeftDockWidgetArea:
        return kDockLeft;
    case Qt::TopDockWidgetArea:
        return kDockTop;
    case Qt::RightDockWidgetArea:
        return kDockRight;
    case Qt::BottomDockWidgetArea:
        return kDockBottom;
    default:
        return 0;
    }
}

QRect AcUiControlBar::frameRect() const {
    if (!m_bar)
        return {};
    if (m_bar->isFloating())
        return m_bar->frameGeometry();
    return QRect(m_bar->mapToGlobal(QPoint(0, 0)), m_bar->size());
}

void AcUiControlBar::setOnHidden(std::function<void()> callback) {
    m_onHidden = std::move(callback);
}

void AcUiControlBar::setOnDestroy(std::function<void()> callback) {
    m_onDestroy = std::move(callback);
}

void AcUiControlBar::destroy() {
    if (m_bar)
        delete m_bar.data();
}

QWidget* AcUiControlBar::widget() const {
    return m_bar ? m_bar->contents() : nullptr;
}

hostui::ControlBar* AcUiControlBar::controlBar() const {
    return m_bar.data();
}
