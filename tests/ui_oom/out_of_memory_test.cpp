// Running out of memory while drawing or reading: the host goes on with a
// message, and the drawing stays as it was. Allocations above a size fail on
// demand; this executable replaces operator new for that, so it stands apart
// from the other tests.
#include "acdb/acdb.h"
#include "acdxf/dxf.h"
#include "cadhost/command_log.h"
#include "hostui/gs.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

thread_local std::size_t t_failAbove = 0; // 0: nothing fails

void* allocate(std::size_t n) {
    if (t_failAbove && n > t_failAbove)
        throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}

// Allocations above `bytes` fail while this lives (on this thread).
class FailingAllocations {
public:
    explicit FailingAllocations(std::size_t bytes) { t_failAbove = bytes; }
    ~FailingAllocations() { t_failAbove = 0; }
};

} // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ui_oom_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

const QColor kBackground(0, 0, 0);

// A 60 x 8 table filling (0,0)-(8,9) and a line below it at y = 0.5.
void fillDrawing(AcDbDatabase& db) {
    auto* table = new AcDbTable;
    table->setTableStyle(db.tablestyle());
    table->setSize(60, 8);
    table->setColumnWidth(1.0);
    table->setRowHeight(0.15);
    table->setPosition(AcGePoint3d(1, 9.5, 0));
    for (int r = 0; r < 60; ++r)
        table->setTextString(r, r % 8, "cell");
    AcDbObjectId id;
    ASSERT_EQ(acdbAppendToBlock(&db, "*Model_Space", table, id), Acad::eOk);
    table->close();
    auto* line = new AcDbLine({0, 0.5, 0}, {10, 0.5, 0});
    ASSERT_EQ(acdbAppendToBlock(&db, "*Model_Space", line, id), Acad::eOk);
    line->close();
}

int countDrawn(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) != kBackground)
                ++n;
    return n;
}

QImage render(AcDbDatabase& db, std::size_t failAbove) {
    AcGsView view;
    view.camera().setDeviceSize(100, 100);
    view.setView(AcGePoint3d(5, 5, 1), AcGePoint3d(5, 5, 0), AcGeVector3d::kYAxis, 10, 10);
    view.add(db.modelSpaceId(), nullptr);
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    {
        FailingAllocations failing(failAbove);
        view.draw(painter);
    }
    painter.end();
    return image;
}

} // namespace

TEST(OutOfMemory, TableThatCannotBeDrawnShowsItsOutlineAndTheRestIsDrawn) {
    AcDbDatabase db;
    fillDrawing(db);
    cadhost::CommandLineLog::instance().clear();
    const QImage starved = render(db, 4096);
    EXPECT_NE(cadhost::CommandLineLog::instance().history().find(
                  "not enough memory to draw a table; it is shown as its outline only"),
              std::string::npos);
    // The line under the table is drawn, and so is the table's outline.
    EXPECT_GT(countDrawn(starved, QRect(0, 94, 100, 3)), 50);
    EXPECT_GT(countDrawn(starved, QRect(5, 3, 90, 3)), 10);
    // Inside the table: nothing but the outline (the grid needs the memory).
    const int insideStarved = countDrawn(starved, QRect(20, 20, 40, 40));

    // With memory again, the whole table is drawn.
    const QImage full = render(db, 0);
    EXPECT_GT(countDrawn(full, QRect(20, 20, 40, 40)), insideStarved + 100);
}

TEST(OutOfMemory, PaintEventThatRunsOutOfMemoryLeavesTheHostRunning) {
    AcDbDatabase db;
    fillDrawing(db);
    QWidget widget;
    widget.resize(100, 100);
    AcGsManager* manager = acgsGetGsManager();
    AcGsDevice* device = manager->createAutoCADDevice(&widget);
    AcGsView* view = manager->getGSClassFactory()->createView();
    view->camera().setDeviceSize(100, 100);
    view->setView(AcGePoint3d(5, 5, 1), AcGePoint3d(5, 5, 0), AcGeVector3d::kYAxis, 10, 10);
    view->add(db.modelSpaceId(), nullptr);
    device->add(view);
    QImage image(100, 100, QImage::Format_RGB32);
    {
        FailingAllocations failing(4096);
        widget.render(&image); // a paint event; an exception would end the process
    }
    manager->getGSClassFactory()->deleteView(view);
    manager->destroyAutoCADDevice(device);
    SUCCEED();
}

TEST(OutOfMemory, ReadThatRunsOutOfMemorySaysWhereAndLeavesTheDrawingAsItWas) {
    AcDbDatabase source;
    fillDrawing(source);
    std::string text;
    ASSERT_EQ(acdxf::writeDxf(source, text), Acad::eOk);

    AcDbDatabase target;
    const AcDbObjectIdArray before = target.allObjectIds(true);
    Acad::ErrorStatus es;
    {
        FailingAllocations failing(2048);
        es = acdxf::readDxf(target, text);
    }
    EXPECT_EQ(es, Acad::eBadDxfFile);
    EXPECT_NE(target.lastFileError().find("not enough memory"), std::string::npos)
        << target.lastFileError();
    EXPECT_EQ(target.lastFileError().rfind("line ", 0), 0u) << target.lastFileError();
    EXPECT_EQ(target.allObjectIds(true).size(), before.size());
}
