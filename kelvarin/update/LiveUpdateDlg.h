#pragma once
// The update dialog: asks the maker's server for the latest version and
// shows it beside the add-in's own, with a link to the maker's site. The
// check runs on a worker thread while the dialog keeps repainting; Esc or
// the title bar's close during a check cancels it and closes the dialog.

#include "acui.h"

#include <atomic>
#include <string>

class CHyperlink;

class CLiveUpdateDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 230;
    static constexpr int kStatus = 203;
    static constexpr int kLinkPlaceholder = 205;
    static constexpr int kLinkWindow = 52789;
    static constexpr int kDownloadText = 206;
    static constexpr int kCheckUp = 202;
    static constexpr int kClose = 1;

    explicit CLiveUpdateDlg(QWidget* parent = nullptr);

    CHyperlink* hyperlink() const { return m_link; }
    bool isChecking() const { return m_checking; }

    bool OnInitDialog() override;

protected:
    void OnCommand(int id) override;
    void OnCancel() override;

private:
    // The "Check up" button's work.
    void onCheckUp();
    // The check off this thread; the dialog's own events keep running.
    bool checkForUpdate();

    std::string m_site;
    CHyperlink* m_link = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_checking = false;
    bool m_closeWhenDone = false;
};
