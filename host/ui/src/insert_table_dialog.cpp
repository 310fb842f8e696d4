#include "hostui/insert_table_dialog.h"

#include "cadhost/ui_services.h"
#include "hostui/control_ids.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hostui {

namespace {

QLineEdit* numberField(QWidget* parent, int id, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    setControlId(edit, id);
    return edit;
}

} // namespace

InsertTableDialog::InsertTableDialog(const TableShape& initial, QWidget* parent)
    : QDialog(parent), m_shape(initial) {
    setWindowTitle(tr("Insert Table"));
    setObjectName(QStringLiteral("insertTableDialog"));
    m_columns = numberField(this, kColumns, QString::number(initial.columns));
    m_rows = numberField(this, kRows, QString::number(initial.rows));
    m_columnWidth = numberField(this, kColumnWidth, QString::number(initial.columnWidth));
    m_rowHeight = numberField(this, kRowHeight, QString::number(initial.rowHeight));

    auto* form = new QFormLayout;
    form->addRow(tr("&Columns:"), m_columns);
    form->addRow(tr("&Rows:"), m_rows);
    form->addRow(tr("Column &width:"), m_columnWidth);
    form->addRow(tr("Row &height:"), m_rowHeight);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    setControlId(buttons->button(QDialogButtonBox::Ok), 1);
    setControlId(buttons->button(QDialogButtonBox::Cancel), 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &InsertTableDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InsertTableDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::optional<TableShape> InsertTableDialog::readFields(QString& problem,
                                                        QLineEdit*& badField) const {
    TableShape shape;
    bool ok = false;
    shape.columns = m_columns->text().trimmed().toInt(&ok);
    if (!ok) {
        problem = tr("Number of columns must be a whole number.");
        badField = m_columns;
        return std::nullopt;
    }
    shape.rows = m_rows->text().trimmed().toInt(&ok);
    if (!ok) {
        problem = tr("Number of rows must be a whole number.");
        badField = m_rows;
        return std::nullopt;
    }
    shape.columnWidth = m_columnWidth->text().trimmed().toDouble(&ok);
    if (!ok) {
        problem = tr("Column width must be a number.");
        badField = m_columnWidth;
        return std::nullopt;
    }
    shape.rowHeight = m_rowHeight->text().trimmed().toDouble(&ok);
    if (!ok) {
        problem = tr("Row height must be a number.");
        badField = m_rowHeight;
        return std::nullopt;
    }
    if (auto why = validateTableShape(shape)) {
        problem = QString::fromStdString(*why);
        const QString text = problem;
        badField = text.startsWith(QLatin1String("Number of columns")) ? m_columns
                   : text.startsWith(QLatin1String("Number of rows"))  ? m_rows
                   : text.startsWith(QLatin1String("Column width"))    ? m_columnWidth
                                                                       : m_rowHeight;
        return std::nullopt;
    }
    return shape;
}

void InsertTableDialog::accept() {
    QString problem;
    QLineEdit* bad = nullptr;
    const std::optional<TableShape> shape = readFields(problem, bad);
    if (!shape) {
        cadhost::MessageBoxRequest request;
        request.text = problem.toStdString();
        request.caption = windowTitle().toStdString();
        request.type = MB_OK | MB_ICONEXCLAMATION;
        cadhost::UiServices::messageBoxes().messageBox(request);
        if (bad) {
            bad->setFocus();
            bad->selectAll();
        }
        return;
    }
    m_shape = *shape;
    QDialog::accept();
}

} // namespace hostui
