#include "hostui/acui/html_dialog.h"

#include "acuiresources.h"
#include "acwin.h"

#include <QResizeEvent>
#include <QTextBrowser>
#include <QUrl>

CDHtmlDialog::CDHtmlDialog(unsigned templateId, unsigned htmlResourceId, QWidget* parent)
    : CAcUiDialog(templateId, parent), m_htmlResource(htmlResourceId) {
    m_view = new QTextBrowser(this);
    m_view->setOpenLinks(false);
    m_view->setGeometry(rect());
    connect(m_view, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString scheme = url.scheme().toLower();
        if (scheme == "http" || scheme == "https")
            Navigate(url.toString().toStdString());
        else
            ShellExecuteA(nullptr, "open", url.toString().toStdString().c_str(), nullptr, nullptr,
                          SW_SHOWNORMAL);
    });
}

CDHtmlDialog::~CDHtmlDialog() {
    stopWorker();
}

bool CDHtmlDialog::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    m_view->setGeometry(rect());
    m_view->raise();
    if (m_htmlResource)
        ShowHtml(QString::fromUtf8(acuiLoadResourceData("HTML", m_htmlResource)));
    return true;
}

void CDHtmlDialog::ShowHtml(const QString& html) {
    m_view->setHtml(html);
}

QString CDHtmlDialog::shownText() const {
    return m_view->toPlainText();
}

void CDHtmlDialog::resizeEvent(QResizeEvent* event) {
    CAcUiDialog::resizeEvent(event);
    m_view->setGeometry(rect());
}

void CDHtmlDialog::stopWorker() {
    if (m_cancel)
        *m_cancel = true;
    if (m_worker.joinable())
        m_worker.join(); // the transfer sees the cancel within a second
}

QString CDHtmlDialog::failureLine(const std::string& address,
                                  const cadhost::HttpResponse& response) {
    return QStringLiteral("The page %1 could not be opened: %2.")
        .arg(QString::fromStdString(address), QString::fromStdString(response.error));
}

void CDHtmlDialog::Navigate(const std::string& address) {
    stopWorker();
    m_address = address;
    m_navigating = true;
    const unsigned serial = ++m_serial;
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    cadhost::HttpOptions options = m_options;
    options.cancel = m_cancel.get();
    auto cancel = m_cancel; // kept alive by the worker as long as it runs
    m_worker = std::thread([this, serial, address, options, cancel] {
        cadhost::HttpResponse response = cadhost::httpGet(address, options);
        if (*cancel)
            return;
        // Delivered on the dialog's thread; dropped if the dialog is gone.
        QMetaObject::invokeMethod(
            this, [this, serial, response] { finishNavigation(serial, response); },
            Qt::QueuedConnection);
    });
}

void CDHtmlDialog::finishNavigation(unsigned serial, const cadhost::HttpResponse& response) {
    if (serial != m_serial)
        return; // a later navigation replaced this one
    if (m_worker.joinable())
        m_worker.join();
    m_navigating = false;
    const QString type = QString::fromStdString(response.contentType).toLower();
    const bool text = type.isEmpty() || type.startsWith("text/");
    if (!response.ok()) {
        m_view->setPlainText(failureLine(m_address, response));
    } else if (!text) {
        cadhost::HttpResponse notAPage = response;
        notAPage.error = "it is not a web page (" + response.contentType + ")";
        m_view->setPlainText(failureLine(m_address, notAPage));
    } else if (type.startsWith("text/html") || type.isEmpty()) {
        m_view->setHtml(
            QString::fromUtf8(response.body.data(), static_cast<qsizetype>(response.body.size())));
    } else {
        m_view->setPlainText(
            QString::fromUtf8(response.body.data(), static_cast<qsizetype>(response.body.size())));
    }
    emit navigationFinished(response.ok() && text);
}
