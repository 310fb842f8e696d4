// The template-driven dialog base.
#include "hostui/acui/acui_dialog.h"

#include "aced.h"
#include "acuiresources.h"
#include "acutads.h"
#include "acwin.h"
#include "hostui/acui/acui_controls.h"
#include "hostui/acui/dialog_units.h"
#include "hostui/control_ids.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

using Kind = cadhost::DialogControl::Kind;

namespace {

// The frame, so module dialogs sit over it and are centred on it.
QWidget* frameWindow() {
    return static_cast<QWidget*>(acedGetAcadFrame()->nativeWindow());
}

bool takesInput(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QListWidget*>(w);
}

} // namespace

CAcUiDialog::CAcUiDialog(unsigned templateId, QWidget* parent)
    : QDialog(parent ? parent : frameWindow()), m_templateId(templateId) {
    const QByteArray data = acuiLoadResourceData("DIALOG", templateId);
    if (data.isEmpty()) {
        m_templateError = "dialog " + std::to_string(templateId) + " is not among the resources";
        return;
    }
    std::string error;
    m_template = cadhost::DialogTemplate::parse(data.toStdString(), &error);
    if (!m_template)
        m_templateError = "dialog " + std::to_string(templateId) + ": " + error;
}

CAcUiDialog::~CAcUiDialog() = default;

bool CAcUiDialog::CreateControls() {
    if (m_built)
        return true;
    if (!m_template)
        return false;
    m_built = true;
    const cadhost::DialogTemplate& t = *m_template;
    setWindowTitle(QString::fromStdString(t.title));
    QFont font(QString::fromStdString(t.fontName));
    font.setPointSize(t.fontPointSize);
    setFont(font);
    const hostui::DialogUnits units = hostui::DialogUnits::fromFont(font);
    setFixedSize(units.toPixelsX(t.width), units.toPixelsY(t.height));

    QLabel* pendingLabel = nullptr;
    for (const cadhost::DialogControl& c : t.controls) {
        QWidget* w = makeControl(c);
        QRect rect = units.toPixels(c.x, c.y, c.width, c.height);
        if (c.kind == Kind::ComboBox) {
            // The template gives the height of the open list; the closed box
            // is as tall as an edit line.
            rect.setHeight(units.toPixelsY(std::min(c.height, 12)));
        }
        w->setGeometry(rect);
        hostui::setControlId(w, c.id);
        if (c.id != -1)
            m_controls[c.id] = w;
        if (c.kind == Kind::GroupBox)
            w->lower(); // a frame behind the controls it surrounds
        // A label's mnemonic moves the focus to the input after it.
        if (pendingLabel && takesInput(w)) {
            pendingLabel->setBuddy(w);
            pendingLabel = nullptr;
        }
        if (auto* label = qobject_cast<QLabel*>(w))
            pendingLabel = label;
    }
    return true;
}

QWidget* CAcUiDialog::makeControl(const cadhost::DialogControl& c) {
    const QString text = QString::fromStdString(c.text);
    const int id = c.id;
    switch (c.kind) {
    case Kind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::GroupBox:
        return new QGroupBox(text, this);
    case Kind::Edit:
        switch (c.editClass) {
        case cadhost::DialogControl::EditClass::Numeric:
            return new CAcUiNumericEdit(this);
        case cadhost::DialogControl::EditClass::Angle:
            return new CAcUiAngleEdit(this);
        case cadhost::DialogControl::EditClass::Plain:
            break;
        }
        return new QLineEdit(this);
    case Kind::ComboBox: {
        if (c.comboClass == cadhost::DialogControl::ComboClass::LineWeight)
            return new CAcUiLineWeightComboBox(this);
        auto* combo = new CAcUiComboBox(this);
        combo->setEditable(c.editable);
        combo->setSorted(c.sorted);
        return combo;
    }
    case Kind::ListBox:
        return new QListWidget(this);
    case Kind::CheckBox: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
        return box;
    }
    case Kind::PushButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(c.isDefault);
        button->setAutoDefault(c.isDefault);
        connect(button, &QPushButton::clicked, this, [this, id] {
            if (id == IDOK)
                accept();
            else if (id == IDCANCEL)
                reject();
            else
                OnCommand(id);
        });
        return button;
    }
    }
    return new QWidget(this);
}

int CAcUiDialog::DoModal() {
    if (!CreateControls()) {
        acutPrintf("\nThe dialog cannot be shown: %s.", m_templateError.c_str());
        return -1;
    }
    setResult(0);
    m_ended = false;
    OnInitDialog(); // false only says the dialog placed the focus itself
    if (m_ended)
        return result(); // EndDialog during initialisation
    setModal(true);
    show();
    activateWindow();
    QEventLoop loop;
    m_loop = &loop;
    QPointer<CAcUiDialog> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (!self)
        return IDCANCEL;
    m_loop = nullptr;
    if (!m_ended) {
        // The application is quitting under the dialog: it was not accepted.
        m_ended = true;
        QDialog::done(IDCANCEL);
    }
    return result();
}

bool CAcUiDialog::OnInitDialog() {
    return true;
}

void CAcUiDialog::OnOK() {
    EndDialog(IDOK);
}

void CAcUiDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CAcUiDialog::OnCommand(int) {}

void CAcUiDialog::EndDialog(int result) {
    m_ended = true;
    m_editorCommand = false;
    QDialog::done(result);
    if (m_loop)
        m_loop->exit(result);
}

void CAcUiDialog::done(int result) {
    EndDialog(result);
}

void CAcUiDialog::accept() {
    if (validateEdits())
        OnOK();
}

void CAcUiDialog::reject() {
    OnCancel();
}

bool CAcUiDialog::validateEdits() {
    if (!m_template)
        return true;
    for (const cadhost::DialogControl& c : m_template->controls) {
        QWidget* w = GetDlgItem(c.id);
        if (!w || !w->isEnabled())
            continue; // a disabled box cannot be corrected, so it is not asked
        if (auto* numeric = qobject_cast<CAcUiNumericEdit*>(w); numeric && !numeric->Validate())
            return false;
        if (auto* angle = qobject_cast<CAcUiAngleEdit*>(w); angle && !angle->Validate())
            return false;
    }
    return true;
}

QWidget* CAcUiDialog::GetDlgItem(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

std::string CAcUiDialog::GetDlgItemText(int id) const {
    QWidget* w = GetDlgItem(id);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        text = edit->text();
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        text = combo->currentText();
    else if (auto* label = qobject_cast<QLabel*>(w))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        text = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        text = group->title();
    else if (auto* list = qobject_cast<QListWidget*>(w))
        text = list->currentItem() ? list->currentItem()->text() : QString();
    return text.toStdString();
}

void CAcUiDialog::SetDlgItemText(int id, const std::string& value) {
    QWidget* w = GetDlgItem(id);
    const QString text = QString::fromStdString(value);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* combo = qobject_cast<CAcUiComboBox*>(w))
        combo->SetWindowText(value);
    else if (auto* plainCombo = qobject_cast<QComboBox*>(w); plainCombo && plainCombo->isEditable())
        plainCombo->setEditText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
}

void CAcUiDialog::EnableDlgItem(int id, bool on) {
    if (QWidget* w = GetDlgItem(id))
        w->setEnabled(on);
}

bool CAcUiDialog::IsDlgItemEnabled(int id) const {
    QWidget* w = GetDlgItem(id);
    return w && w->isEnabled();
}

bool CAcUiDialog::IsDlgButtonChecked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
    return button && button->isCheckable() && button->isChecked();
}

void CAcUiDialog::CheckDlgButton(int id, bool on) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
        button && button->isCheckable())
        button->setChecked(on);
}

void CAcUiDialog::BeginEditorCommand() {
    if (m_editorCommand || !isVisible())
        return;
    m_editorCommand = true;
    // Hidden, the dialog no longer blocks the frame; its loop keeps running
    // because it is ours, not exec()'s.
    hide();
    acedGetAcadFrame()->SetFocus();
}

void CAcUiDialog::CompleteEditorCommand(bool restoreDialog) {
    if (!m_editorCommand)
        return;
    m_editorCommand = false;
    if (restoreDialog && !m_ended) {
        show();
        activateWindow();
    }
}

void CAcUiDialog::CancelEditorCommand() {
    CompleteEditorCommand(true);
}
