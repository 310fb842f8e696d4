#pragma once
// The About box: the product and its version on the first line, what the
// add-in is, and a link to the maker's web site.

#include "acui.h"

#include <string>

class CHyperlink;

class CAboutDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 100;
    static constexpr int kVersionLine = 1000;
    static constexpr int kLinkPlaceholder = 1003;
    static constexpr int kLinkWindow = 1004;

    explicit CAboutDlg(QWidget* parent = nullptr);

    CHyperlink* hyperlink() const { return m_link; }
    // "Kelvarin Version 2.4.1.0".
    static std::string versionLine();

    bool OnInitDialog() override;

private:
    std::string m_site;
    CHyperlink* m_link = nullptr;
};

// Body of the About command.
void showAbout();
