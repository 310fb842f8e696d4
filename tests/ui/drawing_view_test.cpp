// The drawing view: clicks select table cells in place through the runtime's
// cell selection, or become picks while a command asks for a point or an
// entity; the wheel zooms about the cursor and a drag with the middle button
// moves the picture.
#include "acdb/acdb.h"
#include "cadhost/cell_selection.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/runtime.h"
#include "hostui/drawing_view.h"
#include "hostui/table_creation.h"

#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using cadhost::CellSelection;
using cadhost::InputBroker;

namespace {

class DrawingViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        cadhost::resetRuntimeState();
        auto db = std::make_unique<AcDbDatabase>();
        ASSERT_EQ(hostui::createTable(db.get(), {3, 2, 2.0, 1.0}, AcGePoint3d(0, 2, 0), m_table),
                  Acad::eOk);
        m_db = db.get();
        cadhost::DocumentManager::instance().adoptDatabase(std::move(db), "view.dxf");
        m_view = std::make_unique<hostui::DrawingView>();
        m_view->resize(600, 400);
        m_view->show();
        m_view->setDatabase(m_db);
        m_view->zoomExtents();
    }
    void TearDown() override {
        m_view.reset();
        cadhost::resetRuntimeState();
    }
    QPoint at(double x, double y) { return m_view->pixelOf(AcGePoint3d(x, y, 0)).toPoint(); }

    AcDbDatabase* m_db = nullptr;
    AcDbObjectId m_table;
    std::unique_ptr<hostui::DrawingView> m_view;
};

} // namespace

TEST_F(DrawingViewTest, ClickShiftClickAndEscSelectCellsInPlace) {
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(1, 1.5));
    auto state = CellSelection::instance().current();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->table, m_table);
    EXPECT_EQ(state->range, (cadhost::CellRange{0, 0, 0, 0}));

    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::ShiftModifier, at(5, 0.5));
    state = CellSelection::instance().current();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->range, (cadhost::CellRange{0, 1, 0, 2}));

    QTest::keyClick(m_view.get(), Qt::Key_Escape);
    EXPECT_FALSE(CellSelection::instance().current());
    EXPECT_EQ(InputBroker::instance().take(), std::nullopt); // Esc was not input
}

TEST_F(DrawingViewTest, DragExtendsFromThePressedCell) {
    QTest::mousePress(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(5, 0.5));
    QMouseEvent move(QEvent::MouseMove, QPointF(at(1, 1.5)),
                     m_view->mapToGlobal(QPointF(at(1, 1.5))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m_view.get(), &move);
    QTest::mouseRelease(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(1, 1.5));
    auto state = CellSelection::instance().current();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->range, (cadhost::CellRange{0, 1, 0, 2}));
}

TEST_F(DrawingViewTest, ClickOutsideEveryTableClearsTheSelection) {
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(1, 1.5));
    ASSERT_TRUE(CellSelection::instance().current());
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(6.2, 2.05));
    EXPECT_FALSE(CellSelection::instance().current());
}

TEST_F(DrawingViewTest, ClicksArePicksWhileACommandAsksForThem) {
    cadhost::InputRequest point;
    point.kind = cadhost::InputRequest::Kind::Point;
    InputBroker::instance().pushRequest(point);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(1, 1.5));
    auto item = InputBroker::instance().take();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, cadhost::InputItem::Kind::Point);
    const double tolerance = 2.0 / m_view->gsView()->camera().pixelsPerUnit();
    EXPECT_NEAR(item->point.x, 1, tolerance);
    EXPECT_NEAR(item->point.y, 1.5, tolerance);
    EXPECT_FALSE(CellSelection::instance().current()); // not a cell selection

    QTest::keyClick(m_view.get(), Qt::Key_Escape);
    item = InputBroker::instance().take();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, cadhost::InputItem::Kind::Escape);
    InputBroker::instance().popRequest();

    cadhost::InputRequest entity;
    entity.kind = cadhost::InputRequest::Kind::Entity;
    InputBroker::instance().pushRequest(entity);
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, at(3, 1));
    item = InputBroker::instance().take();
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, cadhost::InputItem::Kind::Entity);
    EXPECT_EQ(item->entity, m_table);
    InputBroker::instance().popRequest();
}

TEST_F(DrawingViewTest, WheelZoomsAboutTheCursorAndMiddleDragPans) {
    const double before = m_view->gsView()->camera().pixelsPerUnit();
    const QPoint cursor = at(1, 1.5);
    const AcGePoint3d under = m_view->worldAt(cursor);
    QWheelEvent wheel(QPointF(cursor), m_view->mapToGlobal(QPointF(cursor)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_view.get(), &wheel);
    EXPECT_NEAR(m_view->gsView()->camera().pixelsPerUnit(), before * 1.25, 1e-9);
    const AcGePoint3d after = m_view->worldAt(cursor);
    EXPECT_NEAR(after.x, under.x, 1e-9);
    EXPECT_NEAR(after.y, under.y, 1e-9);
    EXPECT_FALSE(m_view->isAutoFit());

    const QPointF startPixel = m_view->pixelOf(AcGePoint3d(3, 1, 0));
    QTest::mousePress(m_view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), m_view->mapToGlobal(QPointF(130, 90)),
                     Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(m_view.get(), &move);
    QTest::mouseRelease(m_view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(130, 90));
    const QPointF endPixel = m_view->pixelOf(AcGePoint3d(3, 1, 0));
    EXPECT_NEAR(endPixel.x() - startPixel.x(), 30, 1e-6);
    EXPECT_NEAR(endPixel.y() - startPixel.y(), -10, 1e-6);

    m_view->zoomExtents();
    EXPECT_TRUE(m_view->isAutoFit());

    // A window given corner to corner fits the view (6 x 3 units in 600 x 400); one
    // without area is refused and leaves the view as it was.
    ASSERT_TRUE(m_view->zoomWindow(AcGePoint3d(4, 3, 0), AcGePoint3d(-2, 0, 0)));
    EXPECT_FALSE(m_view->isAutoFit());
    EXPECT_NEAR(m_view->gsView()->camera().pixelsPerUnit(), 100.0, 1e-6);
    EXPECT_NEAR(m_view->pixelOf(AcGePoint3d(1, 1.5, 0)).x(), 300, 1e-6);
    EXPECT_FALSE(m_view->zoomWindow(AcGePoint3d(1, 1, 0), AcGePoint3d(5, 1, 0)));
    EXPECT_NEAR(m_view->gsView()->camera().pixelsPerUnit(), 100.0, 1e-6);
}

TEST_F(DrawingViewTest, TypedCharactersGoToTheCommandLine) {
    QString typed;
    QObject::connect(m_view.get(), &hostui::DrawingView::textTyped,
                     [&](const QString& t) { typed += t; });
    QTest::keyClicks(m_view.get(), QStringLiteral("LI"));
    EXPECT_EQ(typed, QStringLiteral("LI"));
}
