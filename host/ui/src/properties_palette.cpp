#include "hostui/properties_palette.h"

#include "acdb/table.h"
#include "hostui/cell_properties.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace hostui {

PropertiesPalette::PropertiesPalette(QWidget* parent)
    : QWidget(parent), m_heading(new QLabel(this)), m_rows(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("propertiesPalette"));
    m_rows->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    m_rows->verticalHeader()->hide();
    m_rows->horizontalHeader()->setStretchLastSection(true);
    m_rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rows->setSelectionMode(QAbstractItemView::NoSelection);
    m_rows->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_heading);
    layout->addWidget(m_rows, 1);
    cadhost::CellSelection::instance().addListener(this);
    refresh();
}

PropertiesPalette::~PropertiesPalette() {
    cadhost::CellSelection::instance().removeListener(this);
}

void PropertiesPalette::cellSelectionChanged(const std::optional<cadhost::CellSelectionState>&) {
    refresh();
}

void PropertiesPalette::refresh() {
    m_rows->setRowCount(0);
    const auto& state = cadhost::CellSelection::instance().current();
    std::optional<CellRangeLook> look;
    if (state) {
        AcDbObject* obj = nullptr;
        // A table open for write by a command is read in place.
        bool opened = acdbOpenAcDbObject(obj, state->table, AcDb::kForRead) == Acad::eOk;
        if (!opened && !state->table.isErased())
            obj = state->table.objectLeftOpen();
        if (auto* table = AcDbTable::cast(obj))
            look = describeCellRange(*table, state->range.rowMin, state->range.rowMax,
                                     state->range.colMin, state->range.colMax);
        if (opened)
            obj->close();
    }
    if (!look) {
        m_heading->setText(tr("No table cells selected."));
        return;
    }
    m_heading->setText(
        tr("Table (handle %1)").arg(QString::fromStdString(state->table.handle().toHex())));
    for (const auto& [label, value] : cellRangeRows(*look)) {
        const int row = m_rows->rowCount();
        m_rows->insertRow(row);
        m_rows->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(label)));
        m_rows->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(value)));
    }
    m_rows->resizeColumnToContents(0);
}

QString PropertiesPalette::valueOf(const QString& label) const {
    for (int row = 0; row < m_rows->rowCount(); ++row)
        if (m_rows->item(row, 0)->text() == label)
            return m_rows->item(row, 1)->text();
    return {};
}

} // namespace hostui
