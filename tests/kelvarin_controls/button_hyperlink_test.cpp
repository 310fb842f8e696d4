// Flat buttons and the hyperlink as windows (offscreen): swatch drawing and
// its refusal, the edge that follows the pointer, double clicks, bitmaps by
// name, and the link's colours and click.
#include "controls/ButtonST.h"
#include "controls/Hyperlink.h"

#include "support/kelvarin_resources.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void hoverOver(QWidget& w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
}

} // namespace

TEST(FlatButton, SwatchModesAndTheirRefusal) {
    CButtonST b;
    b.resize(24, 20);
    EXPECT_EQ(b.SetSwatch(windowsRgbForTest(255, 0, 0), 0), CButtonST::BTNST_OK);
    EXPECT_EQ(b.SetSwatch(windowsRgbForTest(0, 255, 0), 4), CButtonST::BTNST_INVALIDINDEX);
    EXPECT_EQ(b.SetSwatch(windowsRgbForTest(0, 255, 0), -1), CButtonST::BTNST_INVALIDINDEX);
    EXPECT_EQ(b.swatchMode(), 0);
    EXPECT_EQ(b.swatchColor(), QColor(255, 0, 0));

    const QImage img = grab(b);
    const QColor face = b.palette().color(QPalette::Button);
    const QColor shadow = b.palette().color(QPalette::Dark);
    // Inset 3 pixels: face outside, a shadow frame, the colour inside.
    EXPECT_EQ(img.pixel(1, 1), (face).rgb());
    EXPECT_EQ(img.pixel(3, 3), (shadow).rgb());
    EXPECT_EQ(img.pixel(12, 10), (QColor(255, 0, 0)).rgb());
    EXPECT_EQ(img.pixel(0, 0), (face).rgb()) << "a flat button away from the pointer has no edge";

    b.SetSwatch(0, 1);
    EXPECT_EQ(grab(b).pixel(12, 10), (face).rgb()) << "mode 1 draws only the frame";
}

TEST(FlatButton, PointerOverGivesARaisedEdgeAndLeavingRemovesIt) {
    QWidget parent;
    auto* b = new CButtonST(&parent);
    b->setGeometry(0, 0, 24, 20);
    b->SetSwatch(windowsRgbForTest(0, 0, 255), 0);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    hoverOver(*b);
    EXPECT_TRUE(b->hovering());
    QImage img = grab(*b);
    EXPECT_EQ(img.pixel(0, 0), (b->palette().color(QPalette::Light)).rgb());
    EXPECT_EQ(img.pixel(23, 19), (b->palette().color(QPalette::Dark)).rgb());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_FALSE(b->hovering());
    EXPECT_EQ(grab(*b).pixel(0, 0), (b->palette().color(QPalette::Button)).rgb());
}

TEST(FlatButton, DoubleClickIsTwoClicksAndAClickTakesFocus) {
    QWidget parent;
    auto* other = new QPushButton(&parent);
    auto* b = new CButtonST(&parent);
    b->setGeometry(30, 0, 24, 20);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    other->setFocus();
    QSignalSpy clicks(b, &QPushButton::clicked);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->hasFocus());
    EXPECT_EQ(clicks.count(), 1);
    // The platform's double click (down, up, double click, up) is two clicks.
    const QPoint at = b->rect().center();
    QTest::mousePress(b, Qt::LeftButton, {}, at);
    QTest::mouseRelease(b, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), QPointF(b->mapToGlobal(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &dbl);
    QTest::mouseRelease(b, Qt::LeftButton, {}, at);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(FlatButton, AttachedStylesAndPictures) {
    KelvarinResources resources;
    CButtonST b;
    b.attachStyle(0x50010003); // an auto check box with other style bits
    EXPECT_TRUE(b.checkboxMode());
    EXPECT_FALSE(b.defaultFlag());
    b.attachStyle(0x1);
    EXPECT_TRUE(b.defaultFlag());
    EXPECT_FALSE(b.checkboxMode());
    EXPECT_FALSE(b.SetBitmaps("no such picture", 0));
    EXPECT_TRUE(b.picture().isNull());
    EXPECT_TRUE(b.SetBitmaps("204", 0));
    EXPECT_FALSE(b.picture().isNull());
    b.SetTooltipText("Red");
    EXPECT_EQ(b.toolTip(), QStringLiteral("Red"));
}

TEST(Hyperlink, ReplacesItsPlaceholderAndOpensItsAddress) {
    QWidget dialog;
    auto* placeholder = new QLabel(QStringLiteral("placeholder"), &dialog);
    placeholder->setGeometry(10, 20, 120, 16);
    CHyperlink* link = new CHyperlink;
    link->SetColours(QColor(255, 0, 0), QColor(0, 0, 255), QColor(240, 240, 240));
    link->SetLinkText("www.example.com");
    link->SetLinkAddress("https://www.example.com/");
    link->SetUnderline(true);
    QString opened;
    link->setOpener([&](const QString& a) { opened = a; });
    ASSERT_TRUE(link->CreateOver(placeholder, 1010));
    EXPECT_EQ(link->parentWidget(), &dialog);
    EXPECT_EQ(link->geometry(), QRect(10, 20, 120, 16));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->property("controlId").toInt(), 1010);
    EXPECT_FALSE(placeholder->isVisibleTo(&dialog));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(link->currentColour(), QColor(0, 0, 255));
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), link->mapToGlobal(QPointF(3, 3)));
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->currentColour(), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->currentColour(), QColor(0, 0, 255));

    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(200, 5)); // released off the link
    EXPECT_TRUE(opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened, QStringLiteral("https://www.example.com/"));

    CHyperlink orphan;
    EXPECT_FALSE(orphan.CreateOver(nullptr, 1));
}
