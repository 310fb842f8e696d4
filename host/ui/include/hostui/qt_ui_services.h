#pragma once
// The runtime's user-interface services answered with Qt when a user sits at
// the host: message boxes, the host alert, file dialogs, the desktop opener
// and the main frame.

#include "cadhost/ui_services.h"

#include <QPointer>

class QWidget;

namespace hostui {

class FrameWindow;

class QtMessageBoxes : public cadhost::MessageBoxService {
public:
    int messageBox(const cadhost::MessageBoxRequest& request) override;
    void alert(const std::string& text) override;
};

class QtFileDialogs : public cadhost::FileDialogService {
public:
    std::optional<std::string> chooseFile(const cadhost::FileDialogRequest& request) override;
};

class QtShell : public cadhost::ShellService {
public:
    bool open(const std::string& target, const std::string& operation) override;
};

class FrameService : public cadhost::MainFrameService {
public:
    explicit FrameService(FrameWindow* frame);
    void focus() override;
    void activate() override;
    void updateDisplay() override;
    void* nativeWindow() const override;

private:
    QPointer<FrameWindow> m_frame;
};

// The window dialogs and message boxes are centred on: the active modal
// dialog, else the frame (null when there is none).
QWidget* dialogParent();

// File-dialog name filters for a list of extensions ("dxf" -> "*.dxf").
QString nameFilters(const std::vector<std::string>& extensions);
QString labelledFilters(const std::vector<cadhost::FileFilter>& filters);

} // namespace hostui
