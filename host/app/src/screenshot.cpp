#include "hostapp/screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace hostapp {

namespace {

constexpr int kTitleHeight = 22;

// Stacking order: what a window manager shows above what.
int layerOf(QWidget* w) {
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip)
        return 3;
    if (w->isModal() || type == Qt::Dialog)
        return 2;
    return 1; // tool windows, floating bars and pickers
}

bool decorated(QWidget* w) {
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
        return false;
    return !(w->windowFlags() & Qt::FramelessWindowHint);
}

QRect outline(QWidget* w) {
    QRect r = w->geometry();
    if (decorated(w))
        r.setTop(r.top() - kTitleHeight);
    return r;
}

void paintTitle(QPainter& p, const QRect& client, const QString& title, bool active) {
    const QRect strip(client.left(), client.top() - kTitleHeight, client.width(), kTitleHeight);
    p.fillRect(strip, active ? QColor(52, 101, 164) : QColor(120, 128, 140));
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(strip.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
    p.setPen(QColor(30, 30, 30));
    p.drawRect(strip.united(client).adjusted(0, 0, -1, -1));
}

} // namespace

QImage compositeScreenshot(QWidget* frame) {
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == frame || !w->isVisible() || w->isMinimized() || w->width() <= 0 ||
            w->height() <= 0 || w->windowType() == Qt::Desktop)
            continue;
        windows.push_back(w);
    }
    // Within a layer, a window first shown later lies above (a picker above
    // the floating bar it was torn from): the platform lists windows in the
    // order they were made, the widget list in no particular order.
    const QWindowList made = QGuiApplication::topLevelWindows();
    auto madeAt = [&made](QWidget* w) { return static_cast<int>(made.indexOf(w->windowHandle())); };
    std::stable_sort(windows.begin(), windows.end(), [&](QWidget* a, QWidget* b) {
        return std::make_pair(layerOf(a), madeAt(a)) < std::make_pair(layerOf(b), madeAt(b));
    });

    QRect canvas;
    if (frame && frame->isVisible())
        canvas = frame->geometry();
    for (QWidget* w : windows)
        canvas = canvas.united(outline(w));
    if (canvas.isEmpty())
        return {};
    QImage image(canvas.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(64, 70, 78));
    QPainter painter(&image);
    painter.translate(-canvas.topLeft());
    if (frame && frame->isVisible())
        painter.drawPixmap(frame->geometry().topLeft(), frame->grab());
    QWidget* active = QApplication::activeModalWidget();
    for (QWidget* w : windows) {
        const QRect client = w->geometry();
        if (decorated(w))
            paintTitle(painter, client, w->windowTitle(), w == active || !active);
        painter.drawPixmap(client.topLeft(), w->grab());
    }
    painter.end();
    return image;
}

bool saveScreenshot(QWidget* frame, const std::string& path, std::string& error) {
    const QString file = QString::fromStdString(path);
    const QImage image = compositeScreenshot(frame);
    if (image.isNull()) {
        error = "nothing is shown to take a screenshot of";
        return false;
    }
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        error = "cannot create the folder " + info.absolutePath().toStdString();
        return false;
    }
    if (!image.save(file, "PNG")) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace hostapp
