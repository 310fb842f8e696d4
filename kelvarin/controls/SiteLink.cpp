#include "controls/SiteLink.h"

#include "controls/Hyperlink.h"

#include "acuiresources.h"
#include "acwin.h"

#include <QPixmap>

namespace {
constexpr const char* kLinkCursor = "{6FEDA74C-74A1-423a-ABC8-4A7CDA89E154}";
}

CHyperlink* createSiteLink(QWidget* placeholder, int id, const std::string& site) {
    if (!placeholder || !placeholder->parentWidget())
        return nullptr;
    auto* link = new CHyperlink();
    link->SetColours(QColor(255, 0, 0), QColor(0, 0, 255),
                     placeholder->parentWidget()->palette().color(QPalette::Button));
    link->SetLinkText(site);
    link->SetLinkAddress(site);
    link->SetUnderline(true);
    QPixmap hand;
    if (hand.loadFromData(acuiLoadResourceData("CURSOR", kLinkCursor)))
        link->SetLinkCursor(QCursor(hand, 9, 1));
    link->setOpener([](const QString& address) {
        ShellExecuteA(nullptr, "open", address.toStdString().c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
    });
    if (!link->CreateOver(placeholder, id)) {
        delete link;
        return nullptr;
    }
    return link;
}
