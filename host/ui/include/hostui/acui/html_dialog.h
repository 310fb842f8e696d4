#pragma once
// CDHtmlDialog: a dialog that shows a web page. It starts with a built-in
// HTML resource of the current resource module and navigates with the
// host's HTTP client on a worker thread (same bounded waits), so the window
// keeps painting meanwhile. A page that cannot be fetched shows one line
// saying which page and why. Links open in the dialog (http and https) or
// through the shell (anything else).

#include "cadhost/http_client.h"
#include "hostui/acui/acui_dialog.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class QTextBrowser;

class CDHtmlDialog : public CAcUiDialog {
    Q_OBJECT
public:
    // htmlResourceId 0: no built-in page.
    CDHtmlDialog(unsigned templateId, unsigned htmlResourceId, QWidget* parent = nullptr);
    ~CDHtmlDialog() override;

    bool OnInitDialog() override;

    // Shows html at once (a built-in page).
    void ShowHtml(const QString& html);
    // Fetches address and shows it when it comes; cancels a navigation
    // still under way.
    void Navigate(const std::string& address);

    void setFetchOptions(const cadhost::HttpOptions& options) { m_options = options; }
    const cadhost::HttpOptions& fetchOptions() const { return m_options; }
    QTextBrowser* view() const { return m_view; }
    // What the view shows, as plain text (for tests and scripts).
    QString shownText() const;
    bool isNavigating() const { return m_navigating; }
    std::string currentAddress() const { return m_address; }

    // The line shown for a page that could not be fetched.
    static QString failureLine(const std::string& address, const cadhost::HttpResponse& response);

signals:
    void navigationFinished(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void finishNavigation(unsigned serial, const cadhost::HttpResponse& response);
    void stopWorker();

    unsigned m_htmlResource;
    QTextBrowser* m_view = nullptr;
    cadhost::HttpOptions m_options;
    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    unsigned m_serial = 0;
    bool m_navigating = false;
    std::string m_address;
};
