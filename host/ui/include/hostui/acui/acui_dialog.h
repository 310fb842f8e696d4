#pragma once
// The dialog base of the host UI library. A dialog is described by a
// template resource of the current resource module (construct it inside the
// module's resource scope) and laid out from dialog units with the
// template's font. Buttons and check boxes report their ids: 1 (OK) goes to
// OnOK after every enabled numeric and angle edit accepted its text, 2
// (Cancel), Esc and the title bar's close go to OnCancel, any other to
// OnCommand. Every control carries its id in property "controlId".

#include "cadhost/dialog_template.h"

#include <QDialog>

class QEventLoop;

#include <map>
#include <optional>
#include <string>

class CAcUiDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAcUiDialog(unsigned templateId, QWidget* parent = nullptr);
    ~CAcUiDialog() override;

    // Builds the controls (once), calls OnInitDialog and runs the dialog
    // modally. IDOK or IDCANCEL, or whatever EndDialog was given (IDCANCEL
    // when the application quits under it); -1 when the template is missing
    // or malformed (the reason is on the command line).
    int DoModal();

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnCommand(int id);
    void EndDialog(int result);

    // Builds the controls from the template unless done; false without a
    // usable template. DoModal calls it; tests and subclasses may call it earlier.
    bool CreateControls();
    bool hasTemplate() const { return m_template.has_value(); }
    // Why the template could not be used ("" when it could).
    const std::string& templateError() const { return m_templateError; }
    unsigned templateId() const { return m_templateId; }

    QWidget* GetDlgItem(int id) const;
    template <class T> T* item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    void EnableDlgItem(int id, bool on);
    bool IsDlgItemEnabled(int id) const;
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool on);

    // Hides the dialog while the user works in the drawing (picks a point)
    // and shows it again when that is over.
    void BeginEditorCommand();
    void CompleteEditorCommand(bool restoreDialog = true);
    void CancelEditorCommand();

    // Runs Validate() of every enabled numeric and angle edit in template
    // order; false at the first refusal.
    bool validateEdits();

    void accept() override;
    void reject() override;
    // QDialog's own ending (done(), as accept/reject would) ends the loop too.
    void done(int result) override;

private:
    QWidget* makeControl(const cadhost::DialogControl& control);

    unsigned m_templateId;
    std::optional<cadhost::DialogTemplate> m_template;
    std::string m_templateError;
    bool m_built = false;
    bool m_ended = false;
    bool m_editorCommand = false;
    QEventLoop* m_loop = nullptr;
    std::map<int, QWidget*> m_controls;
};
