#pragma once
// What the runtime asks of a user interface: message boxes, the host alert,
// file dialogs, the shell "open" and the main frame. The frame installs real
// ones; the script runner answers them; without either, headless defaults
// write the request to the command-line log and answer "cancel".

#include "acwin.h"

#include <optional>
#include <string>
#include <vector>

namespace cadhost {

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    UINT type = MB_OK; // buttons (MB_TYPEMASK) and icon (MB_ICONMASK)
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Returns IDOK, IDCANCEL, IDYES or IDNO (one of the box's buttons).
    virtual int messageBox(const MessageBoxRequest& request) = 0;
    // The host alert box: captioned with the host's name ("cadhost"), one OK button.
    virtual void alert(const std::string& text) = 0;
};

// One entry of a file dialog's type list: the label the user sees ("All
// Files(*.*)") and its patterns ("*.*").
struct FileFilter {
    std::string label;
    std::vector<std::string> patterns;
};

struct FileDialogRequest {
    std::string title;
    std::string defaultName;             // file or folder to start from
    std::vector<std::string> extensions; // without dots; empty: any file
    bool save = false;                   // a save dialog asks before replacing a file
    // Labelled type list; when given it is shown instead of one made from
    // extensions.
    std::vector<FileFilter> filters;
    // An open dialog that also takes the name of a file that does not exist
    // yet (how a user names a file to be created); it never asks to replace.
    bool acceptNewFile = false;
};

// Splits a Windows-style filter ("Label|*.a;*.b|All Files(*.*)|*.*||") into
// its entries; an entry without patterns ends the list.
std::vector<FileFilter> parseFileFilter(const std::string& filter);

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
};

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens an address ("http://..."), a mail link ("mailto:...") or a file
    // with the desktop's handler. Returns false when that failed.
    virtual bool open(const std::string& target, const std::string& operation) = 0;
};

struct ColorDialogRequest {
    int color = 0;               // the index shown at first (0 ByBlock, 256 ByLayer)
    bool allowMetaColor = false; // ByLayer and ByBlock may be chosen
    int currentLayerColor = 256; // what ByLayer shows as
};

class ColorDialogService {
public:
    virtual ~ColorDialogService() = default;
    // The chosen colour index, or nothing when cancelled.
    virtual std::optional<int> chooseColor(const ColorDialogRequest& request) = 0;
};

class MainFrameService {
public:
    virtual ~MainFrameService() = default;
    virtual void focus() = 0;
    virtual void activate() = 0;
    virtual void updateDisplay() = 0;
    virtual void* nativeWindow() const = 0;
};

// The services in use. Installed ones are not owned; installing null puts
// the headless default back.
class UiServices {
public:
    static MessageBoxService& messageBoxes();
    static FileDialogService& fileDialogs();
    static ShellService& shell();
    static MainFrameService& mainFrame();
    static ColorDialogService& colorDialogs();

    static void install(MessageBoxService* service);
    static void install(FileDialogService* service);
    static void install(ShellService* service);
    static void install(MainFrameService* service);
    static void install(ColorDialogService* service);
    static void resetToDefaults();

    // Caption of framework message boxes (AfxMessageBox).
    static constexpr const char* kAppTitle = "cadhost";
    static constexpr const char* kAlertTitle = "cadhost";
};

// Headless defaults: each request is written to the command-line log as one
// line ("[Message box] caption: text", "[File dialog] title", "[Shell open]
// target", "[Alert] text", "[Color dialog] Select Color"); message boxes
// answer IDCANCEL (IDNO for Yes/No, IDOK when OK is the only button), file
// and colour dialogs cancel, shell opens succeed.
class HeadlessMessageBoxes : public MessageBoxService {
public:
    int messageBox(const MessageBoxRequest& request) override;
    void alert(const std::string& text) override;
};
class HeadlessFileDialogs : public FileDialogService {
public:
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
};
class HeadlessColorDialogs : public ColorDialogService {
public:
    std::optional<int> chooseColor(const ColorDialogRequest& request) override;
};
class HeadlessShell : public ShellService {
public:
    bool open(const std::string& target, const std::string& operation) override;
};
class HeadlessMainFrame : public MainFrameService {
public:
    void focus() override {}
    void activate() override {}
    void updateDisplay() override {}
    void* nativeWindow() const override { return nullptr; }
};

// The answer a message box of this type gives when cancelled (closed with
// Esc or answered by nobody): IDCANCEL if it has a Cancel button, IDNO for
// Yes/No, IDOK for OK only.
int cancelAnswerFor(UINT type);

// Text sent to the frame as copy-data (identifier 1): it goes to the input
// broker exactly as if typed. Returns false for other identifiers.
bool deliverCopyData(const COPYDATASTRUCT& data);

} // namespace cadhost
