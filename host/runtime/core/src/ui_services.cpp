// User-interface services, their headless defaults, and the platform calls
// that go through them (message boxes, the alert, file dialogs, shell open,
// the main frame).
#include "cadhost/ui_services.h"

#include "aced.h"
#include "acutads.h"

#include "cadhost/color_entry.h"
#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/input_broker.h"
#include "cadhost/runtime.h"
#include "cadhost/system_variables.h"

#include <cstring>
#include <sstream>

namespace cadhost {

namespace {
HeadlessMessageBoxes g_defaultBoxes;
HeadlessFileDialogs g_defaultFiles;
HeadlessShell g_defaultShell;
HeadlessColorDialogs g_defaultColors;
HeadlessMainFrame g_defaultFrame;
MessageBoxService* g_boxes = nullptr;
FileDialogService* g_files = nullptr;
ShellService* g_shell = nullptr;
MainFrameService* g_frame = nullptr;
ColorDialogService* g_colors = nullptr;

// One line of the log, whatever line breaks the request carries.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}
} // namespace

MessageBoxService& UiServices::messageBoxes() {
    return g_boxes ? *g_boxes : g_defaultBoxes;
}
FileDialogService& UiServices::fileDialogs() {
    return g_files ? *g_files : g_defaultFiles;
}
ShellService& UiServices::shell() {
    return g_shell ? *g_shell : g_defaultShell;
}
MainFrameService& UiServices::mainFrame() {
    return g_frame ? *g_frame : g_defaultFrame;
}
ColorDialogService& UiServices::colorDialogs() {
    return g_colors ? *g_colors : g_defaultColors;
}
void UiServices::install(ColorDialogService* service) {
    g_colors = service;
}
void UiServices::install(MessageBoxService* service) {
    g_boxes = service;
}
void UiServices::install(FileDialogService* service) {
    g_files = service;
}
void UiServices::install(ShellService* service) {
    g_shell = service;
}
void UiServices::install(MainFrameService* service) {
    g_frame = service;
}
void UiServices::resetToDefaults() {
    g_boxes = nullptr;
    g_files = nullptr;
    g_shell = nullptr;
    g_frame = nullptr;
    g_colors = nullptr;
}

int cancelAnswerFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

int HeadlessMessageBoxes::messageBox(const MessageBoxRequest& request) {
    CommandLineLog::instance().printf("\n[Message box] %s: %s", request.caption.c_str(),
                                      oneLine(request.text).c_str());
    return cancelAnswerFor(request.type);
}

void HeadlessMessageBoxes::alert(const std::string& text) {
    CommandLineLog::instance().printf("\n[Alert] %s", oneLine(text).c_str());
}

std::optional<std::string> HeadlessFileDialogs::chooseFile(const FileDialogRequest& request) {
    CommandLineLog::instance().printf("\n[File dialog] %s", oneLine(request.title).c_str());
    return std::nullopt;
}

std::optional<int> HeadlessColorDialogs::chooseColor(const ColorDialogRequest&) {
    CommandLineLog::instance().printf("\n[Color dialog] %s", kColorDialogTitle);
    return std::nullopt;
}

bool HeadlessShell::open(const std::string& target, const std::string& operation) {
    CommandLineLog::instance().printf(
        "\n[Shell %s] %s", operation.empty() ? "open" : operation.c_str(), oneLine(target).c_str());
    return true;
}

bool deliverCopyData(const COPYDATASTRUCT& data) {
    if (data.dwData != 1 || !data.lpData)
        return false;
    const char* text = static_cast<const char*>(data.lpData);
    std::size_t length = 0;
    while (length < data.cbData && text[length] != '\0')
        ++length;
    // Echoed as typed text is, unless CMDECHO is off while it is sent.
    bool echo = SystemVariables::instance().getInt("CMDECHO", 1) != 0;
    InputBroker::instance().submitText(std::string_view(text, length), InputSource::CopyData, echo);
    // The frame has handled the message when the call returns: while the
    // command line is idle the text runs now, so a module that sends a menu
    // load finds the group loaded right after. Busy, it waits its turn.
    CommandProcessor::instance().processPending();
    return true;
}

namespace {
// The frame the modules see: forwards to the installed main-frame service.
class FrameWindow : public AcadFrame {
public:
    void SetFocus() override { UiServices::mainFrame().focus(); }
    void SetActiveWindow() override { UiServices::mainFrame().activate(); }
    bool SendCopyData(const COPYDATASTRUCT& data) override { return deliverCopyData(data); }
    void UpdateDisplay() override { UiServices::mainFrame().updateDisplay(); }
    void* nativeWindow() const override { return UiServices::mainFrame().nativeWindow(); }
};
} // namespace

} // namespace cadhost

using cadhost::UiServices;

int AfxMessageBox(const char* text, UINT type, UINT) {
    cadhost::initializeRuntime();
    cadhost::MessageBoxRequest request{text ? text : "", UiServices::kAppTitle, type};
    return UiServices::messageBoxes().messageBox(request);
}

int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
    cadhost::initializeRuntime();
    cadhost::MessageBoxRequest request{text ? text : "", caption ? caption : "Error", type};
    return UiServices::messageBoxes().messageBox(request);
}

std::intptr_t ShellExecuteA(HWND, const char* operation, const char* file, const char*, const char*,
                            int) {
    cadhost::initializeRuntime();
    if (!file || !*file)
        return 2; // file not found
    bool ok = UiServices::shell().open(file, operation ? operation : "open");
    return ok ? 42 : 5;
}

int acedAlert(const char* message) {
    cadhost::initializeRuntime();
    UiServices::messageBoxes().alert(message ? message : "");
    return RTNORM;
}

int acedSetColorDialog(int& color, bool allowMetaColor, int currentLayerColor) {
    cadhost::initializeRuntime();
    cadhost::ColorDialogRequest request{color, allowMetaColor, currentLayerColor};
    const std::optional<int> chosen = UiServices::colorDialogs().chooseColor(request);
    // Whatever service answered, the caller only ever gets an index it may store.
    if (!chosen || !cadhost::isChoosableColorIndex(*chosen, allowMetaColor))
        return 0;
    color = *chosen;
    return 1;
}

int acedGetFileD(const char* title, const char* defaultName, const char* extension, int flags,
                 resbuf* result) {
    cadhost::initializeRuntime();
    if (!result)
        return RTERROR;
    cadhost::FileDialogRequest request;
    request.title = title ? title : "";
    request.defaultName = defaultName ? defaultName : "";
    request.save = (flags & 1) != 0;
    if (extension) {
        std::istringstream in(extension);
        std::string ext;
        while (std::getline(in, ext, ';'))
            if (!ext.empty())
                request.extensions.push_back(ext.front() == '.' ? ext.substr(1) : ext);
    }
    std::optional<std::string> chosen = UiServices::fileDialogs().chooseFile(request);
    if (!chosen)
        return RTCAN;
    result->rbnext = nullptr;
    result->restype = RTSTR;
    result->resval.rstring = acutNewString(chosen->c_str());
    return RTNORM;
}

AcadFrame* acedGetAcadFrame() {
    static cadhost::FrameWindow frame;
    return &frame;
}
