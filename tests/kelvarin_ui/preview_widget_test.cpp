// The template preview: the picture it draws is fitted with a 1.1 margin,
// grows and shrinks with the wheel, the drag and Page Up/Down, moves with the
// arrows, comes back with Enter and the middle double-click, and Enter and Esc
// never close the dialog around it.
#include "templates/GSScanStatic.h"

#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Bounding box of the pixels that differ from the corner's (the background).
QRect picture(QWidget& w) {
    const QImage img = w.grab().toImage();
    const QRgb bg = img.pixel(0, 0);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != bg)
                box |= QRect(x, y, 1, 1);
    return box;
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        preview.resize(220, 110);
        // A 10 x 5 outline: fitted, it fills the control but for the margin.
        for (auto [a, b] : {std::pair{AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)},
                            {AcGePoint3d(10, 0, 0), AcGePoint3d(10, 5, 0)},
                            {AcGePoint3d(10, 5, 0), AcGePoint3d(0, 5, 0)},
                            {AcGePoint3d(0, 5, 0), AcGePoint3d(0, 0, 0)}}) {
            auto* line = new AcDbLine(a, b);
            AcDbObjectId lineId;
            ASSERT_EQ(acdbAppendToBlock(&db, "*Model_Space", line, lineId), Acad::eOk);
            line->close();
            ids.push_back(lineId);
        }
    }
    AcDbDatabase db{true, false};
    std::vector<AcDbObjectId> ids;
    CGSScanStatic preview;
};

TEST_F(PreviewTest, WithoutGraphicsNothingIsShownAndInputIsHarmless) {
    EXPECT_FALSE(preview.fitViewToExtents());
    EXPECT_FALSE(preview.showEntity(ids[0]));
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&preview, &wheel);
    QTest::keyClick(&preview, Qt::Key_Left);
    EXPECT_TRUE(picture(preview).isEmpty());
    preview.releaseGraphics(); // nothing to free, twice is fine
    preview.releaseGraphics();
}

TEST_F(PreviewTest, FitWheelDragKeysAndFitAgain) {
    ASSERT_TRUE(preview.attachGraphics());
    ASSERT_TRUE(preview.showEntity(ids[0])); // the bottom edge: zero height
    EXPECT_DOUBLE_EQ(preview.view()->fieldWidth(), 11.0);
    EXPECT_DOUBLE_EQ(preview.view()->fieldHeight(), 0.0);
    preview.releaseGraphics();
    ASSERT_TRUE(preview.attachGraphics());
    for (AcDbObjectId id : ids)
        preview.view()->add(id, nullptr);
    ASSERT_TRUE(preview.showEntity(ids[1])); // right edge; then fit the whole outline
    AcDbExtents all;
    all.addPoint(AcGePoint3d(0, 0, 0));
    all.addPoint(AcGePoint3d(10, 5, 0));
    const_cast<AcDbExtents&>(preview.extents()) = all;
    ASSERT_TRUE(preview.fitViewToExtents());
    EXPECT_DOUBLE_EQ(preview.view()->fieldWidth(), 11.0);
    EXPECT_DOUBLE_EQ(preview.view()->fieldHeight(), 5.5);
    EXPECT_EQ(preview.view()->target(), AcGePoint3d(5, 2.5, 0));
    const QRect fitted = picture(preview);
    ASSERT_FALSE(fitted.isEmpty());
    // 10 of 11 units across 220 pixels: the margin is about 10 pixels a side.
    EXPECT_NEAR(fitted.width(), 200, 4);
    EXPECT_NEAR(fitted.center().x(), 110, 3);

    // One notch away from the user magnifies by 1.1, towards by 0.9.
    QWheelEvent away(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&preview, &away);
    EXPECT_NEAR(preview.view()->fieldWidth(), 10.0, 1e-9);
    const QRect zoomedIn = picture(preview);
    EXPECT_GT(zoomedIn.height(), fitted.height());
    QWheelEvent towards(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&preview, &towards);
    QApplication::sendEvent(&preview, &towards);
    EXPECT_NEAR(preview.view()->fieldWidth(), 10.0 / 0.81, 1e-9);
    EXPECT_LT(picture(preview).width(), fitted.width());

    // Dragging sideways only zooms out at each move; upwards zooms in.
    QTest::keyClick(&preview, Qt::Key_Return);
    QTest::mousePress(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QMouseEvent side(QEvent::MouseMove, QPointF(60, 50), QPointF(60, 50), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&preview, &side);
    EXPECT_NEAR(preview.view()->fieldWidth(), 11.0 / 0.9, 1e-9);
    QMouseEvent up(QEvent::MouseMove, QPointF(60, 40), QPointF(60, 40), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&preview, &up);
    EXPECT_NEAR(preview.view()->fieldWidth(), 11.0 / 0.99, 1e-9);
    QTest::mouseRelease(&preview, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
    QApplication::sendEvent(&preview, &up); // button up: moves do nothing
    EXPECT_NEAR(preview.view()->fieldWidth(), 11.0 / 0.99, 1e-9);

    QTest::keyClick(&preview, Qt::Key_Return);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_NEAR(preview.view()->fieldWidth(), 10.0, 1e-9);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    EXPECT_NEAR(preview.view()->fieldWidth(), 10.0 / 0.9, 1e-9);

    // Left arrow: the camera moves by a tenth of the control's width.
    QTest::keyClick(&preview, Qt::Key_Return);
    const double x0 = preview.view()->target().x;
    QTest::keyClick(&preview, Qt::Key_Left);
    EXPECT_NEAR(std::fabs(preview.view()->target().x - x0), 1.1, 1e-6);
    EXPECT_NE(picture(preview), fitted);
    // The middle double-click fits again: the same picture as at first.
    QTest::mouseDClick(&preview, Qt::MiddleButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(preview.view()->target(), AcGePoint3d(5, 2.5, 0));
    EXPECT_EQ(picture(preview), fitted);
}

TEST_F(PreviewTest, EnterAndEscStayWithThePreview) {
    QDialog dialog;
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* preview2 = new CGSScanStatic(&dialog);
    preview2->setGeometry(0, 30, 100, 60);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    preview2->setFocus();
    QTest::keyClick(preview2, Qt::Key_Return);
    QTest::keyClick(preview2, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    // Elsewhere Esc still closes the dialog.
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

// A template's picture: the one reference of a block holding a table, in a
// database that is not the drawing's.
TEST_F(PreviewTest, AReferenceToATableBlockIsDrawnFitted) {
    AcDbDatabase templates(true, false);
    auto* block = new AcDbBlockTableRecord;
    block->setName("Doors");
    AcDbObjectId blockId;
    {
        AcDbObjectPointer<AcDbBlockTable> bt(templates.blockTableId(), AcDb::kForWrite);
        ASSERT_EQ(bt->add(blockId, block), Acad::eOk);
    }
    auto* table = new AcDbTable;
    table->setSize(3, 2);
    table->setColumnWidth(2.5);
    table->setRowHeight(1.0);
    AcDbObjectId tableId;
    ASSERT_EQ(block->appendAcDbEntity(tableId, table), Acad::eOk);
    table->close();
    block->close();
    auto* ref = new AcDbBlockReference(AcGePoint3d(0, 0, 0), blockId);
    AcDbObjectId refId;
    ASSERT_EQ(acdbAppendToBlock(&templates, "*Model_Space", ref, refId), Acad::eOk);
    ref->close();

    ASSERT_TRUE(preview.attachGraphics());
    ASSERT_TRUE(preview.showEntity(refId));
    // 5 x 3 below and right of the origin, fitted: wider than high.
    EXPECT_EQ(preview.extents().minPoint(), AcGePoint3d(0, -3, 0));
    const QRect shown = picture(preview);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_GT(shown.width(), shown.height());
}

} // namespace
