#include "KvToolbar.h"

#include "KvToolButton.h"
#include "ToolbarHandle.h"
#include "app/ModuleState.h"

#include "acui.h"
#include "acuibar.h"
#include "acuiresources.h"

#include <QBitmap>
#include <QLayout>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr const char* kToolbarKey = "Kelvarin\\ToolBar";

const char* const kMenuPictureNames[7] = {
    "{630D19EC-39AB-4087-9C7C-3FB1B4551F94}", "{3A8243E5-AE55-441b-A6FE-08CE27B63147}",
    "{580296E2-EB75-46da-B881-093AA1CA65A6}", "{795CBDCD-4167-4f7f-B544-56BC22068FEB}",
    "{E24D408C-DFB3-4ff5-9CEC-FEF5E76ACBB9}", "{5FF83D1D-5651-4465-913C-764FF61C2145}",
    "{4F69DC48-DA3A-4be3-8A3C-D6D57F5DF714}"};

// Magenta is the transparent colour of the add-in's bitmaps.
QPixmap withoutMagenta(const QPixmap& picture) {
    if (picture.isNull())
        return picture;
    QPixmap masked = picture;
    masked.setMask(picture.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    return masked;
}

// Cuts a strip of 16 x 15 images.
std::vector<QPixmap> cutImageStrip(const QPixmap& strip) {
    std::vector<QPixmap> images;
    if (strip.isNull())
        return images;
    const QPixmap masked = withoutMagenta(strip);
    for (int x = 0; x + 16 <= strip.width(); x += 16)
        images.push_back(masked.copy(x, 0, 16, 15));
    return images;
}

QColor stripColorOf(int value) {
    if (value == -1 || static_cast<unsigned>(value) == 0xFF000000u)
        return {};
    const unsigned long rgb = acedGetRGB(value); // 0x00RRGGBB
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

// The string resource "prompt\ntooltip" split in its two parts.
std::pair<QString, QString> promptAndTip(unsigned id) {
    const QString text = acuiLoadString(id);
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    if (cut < 0)
        return {text, text};
    return {text.left(cut), text.mid(cut + 1)};
}

// Keeps every item in view: the bar is never shorter than all its items laid
// end to end, so none of them hides behind the overflow arrow.
void keepItemsInView(QToolBar* toolbar) {
    auto update = [toolbar](Qt::Orientation orientation) {
        int length = 0;
        for (QAction* action : toolbar->actions())
            if (QWidget* item = toolbar->widgetForAction(action)) {
                const QSize hint = item->sizeHint();
                length += (orientation == Qt::Horizontal ? hint.width() : hint.height()) +
                          toolbar->layout()->spacing();
            }
        const QMargins m = toolbar->contentsMargins();
        const int extent = toolbar->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent) +
                           2 * toolbar->style()->pixelMetric(QStyle::PM_ToolBarItemMargin) +
                           2 * toolbar->style()->pixelMetric(QStyle::PM_ToolBarFrameWidth);
        if (orientation == Qt::Horizontal)
            toolbar->setMinimumSize(length + m.left() + m.right() + extent, 0);
        else
            toolbar->setMinimumSize(0, length + m.top() + m.bottom() + extent);
    };
    QObject::connect(toolbar, &QToolBar::orientationChanged, toolbar, update);
    update(toolbar->orientation());
}

} // namespace

ToolbarPlacement ToolbarPlacement::read(const CUtiCommonFunc& util) {
    ToolbarPlacement p;
    p.visible = util.readRegistryDword(kToolbarKey, "Visible", 1);
    p.posX = util.readRegistryDword(kToolbarKey, "PosX", 100);
    p.posY = util.readRegistryDword(kToolbarKey, "PosY", 100);
    p.isFloating = util.readRegistryDword(kToolbarKey, "IsFloating", 0);
    p.dockStyle = util.readRegistryDword(kToolbarKey, "DockStyle", 0);
    return p;
}

void ToolbarPlacement::write(const CUtiCommonFunc& util) const {
    util.writeRegistryDword(kToolbarKey, "PosX", posX);
    util.writeRegistryDword(kToolbarKey, "PosY", posY);
    util.writeRegistryDword(kToolbarKey, "IsFloating", isFloating);
    util.writeRegistryDword(kToolbarKey, "DockStyle", dockStyle);
}

DWORD ToolbarPlacement::visibleAtDestruction(std::time_t now, std::time_t lastHidden) {
    return now - lastHidden <= 1 ? 1 : 0;
}

CKvToolbar::CKvToolbar() : lastHiddenTime(std::time(nullptr)) {
    m_util.setRegistryRoot(kSuiteRegistryRoot);
}

CKvToolbar::~CKvToolbar() {
    // The module is detached while the frame still exists: the bar goes with
    // the toolbar object, saving its state as the frame would have.
    if (m_bar)
        m_bar->destroy();
}

bool CKvToolbar::createToolbar(CToolbarHandle& handler) {
    ModuleResourceScope resources;
    try {
        // The bar is a child of the host frame: without a frame there is none.
        if (!acedGetAcadFrame()->nativeWindow()) {
            acedAlert("Can't create toolbar.");
            return false;
        }
        const std::vector<unsigned> items = acuiLoadToolbar(kvid::kToolbarResource);
        auto* toolbar = new QToolBar(QStringLiteral("Vorel Kelvarin"));
        toolbar->setObjectName(QStringLiteral("KelvarinToolbar"));
        toolbar->setProperty("controlId", kvid::kToolbarControlId);
        if (items.empty()) {
            delete toolbar;
            acedAlert("Can't create toolbar.");
            return false;
        }
        if (!handler.create()) {
            delete toolbar;
            acedAlert("Can't create toolbar window.");
            return false;
        }
        for (const char* name : kMenuPictureNames)
            m_menuPictures.push_back(withoutMagenta(acuiLoadBitmap(std::string(name))));

        toolbar->setWindowTitle(QStringLiteral("Vorel Kelvarin"));
        toolbar->setIconSize(QSize(16, 15));
        toolbar->setFixedHeight(30);
        toolbar->setMovable(false);
        m_images = cutImageStrip(acuiLoadBitmap(kvid::kImageStrip));

        int image = 0;
        for (unsigned id : items) {
            if (id == 0) {
                toolbar->addSeparator();
                continue;
            }
            if (id == kvid::kLineWeight) {
                m_lineWeightCombo = new CAcUiLineWeightComboBoxEx(toolbar);
                m_lineWeightCombo->setProperty("controlId", kvid::kLineWeight);
                // 100 pixels, unless the host's font needs more to show an
                // entry whole ("ByBlock" beside its sample).
                m_lineWeightCombo->setFixedWidth(
                    std::max(100, m_lineWeightCombo->sizeHint().width()));
                if (m_lineWeightCombo->count() > 1)
                    m_lineWeightCombo->setCurrentIndex(1);
                toolbar->addWidget(m_lineWeightCombo);
                ++image;
                continue;
            }
            auto* b = new KvToolButton(id, toolbar);
            const auto [prompt, tip] = promptAndTip(id);
            b->setToolTip(tip);
            b->setStatusTip(prompt);
            b->setIconSize(QSize(16, 15));
            if (image < static_cast<int>(m_images.size()))
                b->setIcon(QIcon(m_images[static_cast<std::size_t>(image)]));
            ++image;
            connect(b, &KvToolButton::commandClicked, &handler,
                    [&handler](unsigned cmd) { handler.OnCommand(cmd); });
            connect(b, &KvToolButton::dropDownPressed, &handler,
                    [&handler](unsigned cmd) { handler.onDropDown(cmd); });
            toolbar->addWidget(b);
            m_buttons[id] = b;
        }
        if (!m_lineWeightCombo) {
            delete toolbar;
            acedAlert("Can't create the line weight combox!");
            return false;
        }
        for (unsigned id : {kvid::kInsertTable, kvid::kAlignment, kvid::kShadingColor,
                            kvid::kFontColor, kvid::kCellsBorder})
            if (KvToolButton* b = button(id))
                b->setDropDown(true);

        keepItemsInView(toolbar);
        m_toolbar = toolbar;
        m_bar = AcUiControlBar::create("Vorel Kelvarin", toolbar, kvid::kToolbarControlId);
        if (!m_bar) {
            delete toolbar;
            acedAlert("Can't create toolbar.");
            return false;
        }
        m_bar->setOnHidden([this] { lastHiddenTime = std::time(nullptr); });
        m_bar->setOnDestroy([this] { onBarDestroyed(); });
        m_bar->floatAt(120, 120);

        const ToolbarPlacement placement = ToolbarPlacement::read(m_util);
        if (placement.visible == 0)
            m_bar->show(false);
        restoreToolbarPosition();
        if (placement.visible != 0)
            m_bar->show(true);
        refreshFaces();
        return true;
    } catch (...) {
        AfxMessageBox("Create Kelvarin Failed!");
        return false;
    }
}

void CKvToolbar::showBar(bool visible) {
    if (m_bar)
        m_bar->show(visible);
}

void CKvToolbar::restoreToolbarPosition() {
    if (!m_bar)
        return;
    const ToolbarPlacement p = ToolbarPlacement::read(m_util);
    if (p.isFloating != 0) {
        m_bar->floatAt(static_cast<int>(p.posX), static_cast<int>(p.posY));
        return;
    }
    switch (p.dockStyle) {
    case kDockLeft:
    case kDockTop:
    case kDockRight:
    case kDockBottom:
        m_bar->dock(p.dockStyle);
        break;
    default:
        break; // stays floating where creation put it
    }
}

void CKvToolbar::saveToolbarPosition() {
    if (!m_bar)
        return;
    ToolbarPlacement p;
    QRect rect = m_bar->frameRect();
    if (!rect.isValid())
        rect = QRect(QPoint(100, 100), QPoint(200, 200));
    p.posX = static_cast<DWORD>(rect.left());
    p.posY = static_cast<DWORD>(rect.top());
    p.isFloating = m_bar->isFloating() ? 1 : 0;
    p.dockStyle = m_bar->dockStyle() & 0xF000;
    p.write(m_util);
}

void CKvToolbar::onBarDestroyed() {
    try {
        m_util.writeRegistryDword(
            kToolbarKey, "Visible",
            ToolbarPlacement::visibleAtDestruction(std::time(nullptr), lastHiddenTime));
        saveToolbarPosition();
    } catch (...) {
        AfxMessageBox("Error from ToolBar DestroyWindow!");
    }
    m_bar = nullptr;
    m_buttons.clear();
}

KvToolButton* CKvToolbar::button(unsigned commandId) const {
    auto it = m_buttons.find(commandId);
    return it == m_buttons.end() ? nullptr : it->second.data();
}

void CKvToolbar::refreshFaces() {
    if (KvToolButton* b = button(kvid::kFontColor))
        b->setStripColor(stripColorOf(fontColor));
    if (KvToolButton* b = button(kvid::kBorderColor))
        b->setStripColor(stripColorOf(borderColor));
    if (KvToolButton* b = button(kvid::kShadingColor))
        b->setStripColor(stripColorOf(shadeColor));
    if (KvToolButton* b = button(kvid::kCellsBorder))
        b->setToolTip(QString::fromStdString(borderStyleName.substr(0, 79)));
    if (KvToolButton* b = button(kvid::kAlignment))
        b->setToolTip(QString::fromStdString(alignmentName.substr(0, 79)));
}

void CKvToolbar::setButtonImage(unsigned commandId, int image) {
    KvToolButton* b = button(commandId);
    if (b && image >= 0 && image < static_cast<int>(m_images.size()))
        b->setIcon(QIcon(m_images[static_cast<std::size_t>(image)]));
}

QRect CKvToolbar::buttonScreenRect(unsigned commandId) const {
    KvToolButton* b = button(commandId);
    if (!b)
        return {};
    return QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
}

int CKvToolbar::currentLineWeight() const {
    return m_lineWeightCombo ? m_lineWeightCombo->GetCurrentItemLineWeight() : 0;
}
