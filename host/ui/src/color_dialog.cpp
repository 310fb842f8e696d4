#include "hostui/color_dialog.h"

#include "acdb/color.h"
#include "cadhost/color_entry.h"
#include "hostui/control_ids.h"
#include "hostui/qt_ui_services.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace hostui {

namespace {

constexpr int kHueSide = 13;
constexpr int kLargeSide = 20;
// What ByBlock (and a ByLayer without a layer colour) shows as: white/black.
constexpr int kNeutralIndex = 7;

QColor colorOfIndex(int index) {
    const unsigned long rgb = acedGetRGB(index);
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

QString describe(int index) {
    const QColor c = colorOfIndex(index);
    return QObject::tr("Index color: %1    Red, Green, Blue: %2,%3,%4")
        .arg(index)
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue());
}

} // namespace

ColorSwatch::ColorSwatch(int index, int side, QWidget* parent)
    : QAbstractButton(parent), m_index(index), m_side(side) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(side, side);
    setToolTip(QObject::tr("Index color: %1").arg(index));
    setControlId(this, ColorDialog::kSwatchBase + index);
}

QSize ColorSwatch::sizeHint() const {
    return {m_side, m_side};
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, isChecked() ? Qt::black : (underMouse() ? Qt::white : QColor(128, 128, 128)));
    if (isChecked())
        p.fillRect(r.adjusted(1, 1, -1, -1), Qt::white);
    const int inset = isChecked() ? 2 : 1;
    p.fillRect(r.adjusted(inset, inset, -inset, -inset), colorOfIndex(m_index));
}

void ColorSwatch::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(m_index);
    else
        QAbstractButton::mouseDoubleClickEvent(event);
}

ColorDialog::ColorDialog(const cadhost::ColorDialogRequest& request, QWidget* parent)
    : QDialog(parent), m_request(request), m_chosen(request.color) {
    setWindowTitle(QString::fromLatin1(cadhost::kColorDialogTitle));
    setObjectName(QStringLiteral("colorDialog"));

    auto makeSwatch = [this](int index, int side) {
        auto* s = new ColorSwatch(index, side, this);
        m_swatches[static_cast<std::size_t>(index)] = s;
        connect(s, &QAbstractButton::clicked, this, [this, index] { choose(index); });
        connect(s, &ColorSwatch::doubleClicked, this, [this](int i) {
            choose(i);
            accept();
        });
        return s;
    };
    auto grid = [](int spacing) {
        auto* g = new QGridLayout;
        g->setSpacing(spacing);
        g->setContentsMargins(0, 0, 0, 0);
        return g;
    };
    QGridLayout* hues = grid(1);
    QGridLayout* standard = grid(3);
    QGridLayout* greys = grid(3);
    for (int index = 1; index <= 255; ++index) {
        const cadhost::PaletteCell cell = *cadhost::paletteCellOf(index);
        switch (cell.section) {
        case cadhost::PaletteSection::Hues:
            hues->addWidget(makeSwatch(index, kHueSide), cell.row, cell.column);
            break;
        case cadhost::PaletteSection::Standard:
            standard->addWidget(makeSwatch(index, kLargeSide), cell.row, cell.column);
            break;
        case cadhost::PaletteSection::Greys:
            greys->addWidget(makeSwatch(index, kLargeSide), cell.row, cell.column);
            break;
        }
    }

    auto* palette = new QGroupBox(tr("Index Color"), this);
    auto* paletteLayout = new QVBoxLayout(palette);
    paletteLayout->addLayout(hues);
    m_description = new QLabel(palette);
    m_description->setMinimumWidth(cadhost::kHueColumns * (kHueSide + 1));
    paletteLayout->addWidget(m_description);
    auto* lower = new QHBoxLayout;
    auto* rows = new QVBoxLayout;
    rows->addLayout(standard);
    rows->addLayout(greys);
    lower->addLayout(rows);
    lower->addStretch();
    if (request.allowMetaColor) {
        auto* meta = new QVBoxLayout;
        m_byLayer = new QPushButton(tr("By&Layer"), palette);
        m_byBlock = new QPushButton(tr("By&Block"), palette);
        setControlId(m_byLayer, kByLayer);
        setControlId(m_byBlock, kByBlock);
        m_byLayer->setAutoDefault(false);
        m_byBlock->setAutoDefault(false);
        connect(m_byLayer, &QPushButton::clicked, this, [this] { choose(cadhost::kByLayerIndex); });
        connect(m_byBlock, &QPushButton::clicked, this, [this] { choose(cadhost::kByBlockIndex); });
        meta->addWidget(m_byLayer);
        meta->addWidget(m_byBlock);
        lower->addLayout(meta);
    }
    paletteLayout->addLayout(lower);

    auto* entry = new QHBoxLayout;
    auto* boxLabel = new QLabel(tr("&Color:"), this);
    m_box = new QLineEdit(this);
    setControlId(m_box, kIndexBox);
    boxLabel->setBuddy(m_box);
    m_preview = new QLabel(this);
    m_preview->setFixedSize(48, 20);
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_preview->setAutoFillBackground(true);
    entry->addWidget(boxLabel);
    entry->addWidget(m_box, 1);
    entry->addWidget(m_preview);
    connect(m_box, &QLineEdit::textChanged, this, &ColorDialog::entryEdited);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    setControlId(buttons->button(QDialogButtonBox::Ok), 1);
    setControlId(buttons->button(QDialogButtonBox::Cancel), 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &ColorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColorDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(palette);
    layout->addLayout(entry);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A colour the caller cannot take back starts the box empty.
    if (cadhost::isChoosableColorIndex(request.color, request.allowMetaColor))
        m_box->setText(QString::fromStdString(cadhost::colorEntryText(request.color)));
    entryEdited();
    m_box->setFocus();
    m_box->selectAll();
}

ColorSwatch* ColorDialog::swatch(int index) const {
    return index >= 1 && index <= 255 ? m_swatches[static_cast<std::size_t>(index)] : nullptr;
}

void ColorDialog::choose(int index) {
    m_box->setText(QString::fromStdString(cadhost::colorEntryText(index)));
}

void ColorDialog::entryEdited() {
    const cadhost::ColorEntry entry =
        cadhost::parseColorEntry(m_box->text().toStdString(), m_request.allowMetaColor);
    const int index = entry.index.value_or(-1);
    for (ColorSwatch* s : m_swatches)
        if (s)
            s->setChecked(s->colorIndex() == index);
    QPalette pal = m_preview->palette();
    if (!entry.index) {
        pal.setColor(QPalette::Window, palette().color(QPalette::Window));
        m_description->clear();
    } else if (index == cadhost::kByLayerIndex || index == cadhost::kByBlockIndex) {
        const bool layer = index == cadhost::kByLayerIndex;
        const int shown =
            layer && m_request.currentLayerColor >= 1 && m_request.currentLayerColor <= 255
                ? m_request.currentLayerColor
                : kNeutralIndex;
        pal.setColor(QPalette::Window, colorOfIndex(shown));
        m_description->setText(layer ? tr("ByLayer") : tr("ByBlock"));
    } else {
        pal.setColor(QPalette::Window, colorOfIndex(index));
        m_description->setText(describe(index));
    }
    m_preview->setPalette(pal);
}

void ColorDialog::accept() {
    const cadhost::ColorEntry entry =
        cadhost::parseColorEntry(m_box->text().toStdString(), m_request.allowMetaColor);
    if (!entry.index) {
        cadhost::MessageBoxRequest box;
        box.text = entry.problem;
        box.caption = windowTitle().toStdString();
        box.type = MB_OK | MB_ICONEXCLAMATION;
        cadhost::UiServices::messageBoxes().messageBox(box);
        m_box->setFocus();
        m_box->selectAll();
        return;
    }
    m_chosen = *entry.index;
    QDialog::accept();
}

std::optional<int> QtColorDialogs::chooseColor(const cadhost::ColorDialogRequest& request) {
    ColorDialog dialog(request, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenIndex();
}

} // namespace hostui
