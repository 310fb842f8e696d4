#pragma once
// CHyperlink: a text that opens a web address when clicked, drawn in the
// hover colour while the pointer is over it.

#include <QColor>
#include <QCursor>
#include <QWidget>

#include <functional>
#include <string>

class CHyperlink : public QWidget {
    Q_OBJECT
public:
    // Opens an address; the default hands it to the desktop's browser.
    using Opener = std::function<void(const QString& address)>;

    CHyperlink();

    void SetColours(const QColor& hover, const QColor& normal, const QColor& background);
    void SetLinkText(const std::string& text);
    void SetUnderline(bool underline) { m_underline = underline; }
    void SetLinkAddress(const std::string& address);
    void SetLinkCursor(const QCursor& cursor);
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    // Takes the placeholder's place: same parent, rectangle and font
    // (underlined when asked), the given id as "controlId". The placeholder
    // is hidden so its text does not show twice. False without a placeholder
    // or parent.
    bool CreateOver(QWidget* placeholder, int id);

    QString linkText() const { return m_text; }
    QString address() const { return m_address; }
    QColor currentColour() const { return m_current; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_text;
    QString m_address;
    bool m_underline = false;
    QColor m_current{0, 0, 255};
    QColor m_hover{255, 0, 0};
    QColor m_normal{0, 0, 255};
    QColor m_background;
    Opener m_opener;
};
