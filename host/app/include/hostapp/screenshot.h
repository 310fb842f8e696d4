#pragma once
// What a user would see: the frame and every visible top-level window of the
// host (floating bars, pickers, dialogs, menus and popups) painted at their
// screen positions, dialogs and floating windows with a simple title strip.

#include <QImage>
#include <string>

class QWidget;

namespace hostapp {

QImage compositeScreenshot(QWidget* frame);
// Writes a PNG; false with the reason when it cannot.
bool saveScreenshot(QWidget* frame, const std::string& path, std::string& error);

} // namespace hostapp
