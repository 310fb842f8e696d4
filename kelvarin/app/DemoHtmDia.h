#pragma once
// The demo window: the built-in "Openning ..." page, then the demo page of
// the maker's site.

#include "afxdhtml.h"

class CDemoHtmDia : public CDHtmlDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 231;
    static constexpr unsigned kPage = 231;
    explicit CDemoHtmDia(QWidget* parent = nullptr);

    bool OnInitDialog() override;

private:
    std::string m_demoPage;
};

// Body of the demo command.
void showDemo();
