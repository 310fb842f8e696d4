// The renderer and the graphics views draw what the database holds: colours,
// line weights, block references with ByBlock colours, tables with their
// selection highlight, and nothing for hidden layers or runaway blocks.
#include "acdb/acdb.h"
#include "hostui/entity_renderer.h"
#include "hostui/gs.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QColor kBackground(0, 0, 0);

AcDbObjectId appendToModelSpace(AcDbDatabase& db, AcDbEntity* e) {
    AcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(ms->appendAcDbEntity(id, e), Acad::eOk);
    e->close();
    ms->close();
    return id;
}

AcDbObjectId addBlock(AcDbDatabase& db, const std::string& name, std::vector<AcDbEntity*> ents) {
    AcDbBlockTable* bt = nullptr;
    EXPECT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(bt->add(id, rec), Acad::eOk);
    for (AcDbEntity* e : ents) {
        rec->appendAcDbEntity(e);
        e->close();
    }
    rec->close();
    bt->close();
    return id;
}

// Renders model space with a plan view of the box (0,0)-(10,10) on a 100x100
// image: one unit is ten pixels, world (x, y) is pixel (10x, 100 - 10y).
QImage renderModelSpace(AcDbDatabase& db) {
    AcGsView view;
    view.camera().setDeviceSize(100, 100);
    view.setView(AcGePoint3d(5, 5, 1), AcGePoint3d(5, 5, 0), AcGeVector3d::kYAxis, 10, 10);
    view.add(db.modelSpaceId(), nullptr);
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    view.draw(painter);
    painter.end();
    return image;
}

QColor at(const QImage& img, double x, double y) {
    return img.pixelColor(static_cast<int>(10 * x), static_cast<int>(100 - 10 * y));
}

bool near(const QColor& a, const QColor& b, int tol = 40) {
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
           std::abs(a.blue() - b.blue()) <= tol;
}

int countNonBackground(const QImage& img, QRect r) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) != kBackground)
                ++n;
    return n;
}

} // namespace

TEST(EntityRenderer, ColourResolution) {
    const QColor fg(255, 255, 255), layer(1, 2, 3), block(4, 5, 6);
    EXPECT_EQ(hostui::resolveColor(AcCmColor::byLayer(), layer, block, fg), layer);
    EXPECT_EQ(hostui::resolveColor(AcCmColor::byBlock(), layer, block, fg), block);
    EXPECT_EQ(hostui::resolveColor(AcCmColor::fromIndex(7), layer, block, fg), fg);
    EXPECT_EQ(hostui::resolveColor(AcCmColor::fromIndex(1), layer, block, fg), QColor(255, 0, 0));
    EXPECT_EQ(hostui::resolveColor(AcCmColor::fromRgb(10, 20, 30), layer, block, fg),
              QColor(10, 20, 30));
    EXPECT_EQ(hostui::resolveColor(AcCmColor::none(), layer, block, fg), fg);
}

TEST(EntityRenderer, LineWeightsInPixels) {
    EXPECT_DOUBLE_EQ(hostui::lineWeightPixels(0), 1.0);
    EXPECT_DOUBLE_EQ(hostui::lineWeightPixels(AcDb::kLnWtByLayer), 1.0);
    EXPECT_DOUBLE_EQ(hostui::lineWeightPixels(13), 1.0);
    EXPECT_NEAR(hostui::lineWeightPixels(211), 7.97, 0.01);
}

TEST(EntityRenderer, MTextCodesAreStrippedAndParagraphsSplit) {
    EXPECT_EQ(hostui::mtextLines("{\\C1;Red}\\Pline\\~two\\\\"),
              (std::vector<std::string>{"Red", "line two\\"}));
    EXPECT_EQ(hostui::mtextLines("a\nb\\Hx;c"), (std::vector<std::string>{"a", "bc"}));
    EXPECT_EQ(hostui::mtextLines("cut\\C"), (std::vector<std::string>{"cut"}));
}

TEST(EntityRenderer, LineDrawnInItsColourAndWeight) {
    AcDbDatabase db;
    auto* line = new AcDbLine(AcGePoint3d(1, 5, 0), AcGePoint3d(9, 5, 0));
    line->setColorIndex(1);
    line->setLineWeight(AcDb::kLnWt200); // about 7.5 pixels
    appendToModelSpace(db, line);
    const QImage img = renderModelSpace(db);
    EXPECT_TRUE(near(at(img, 5, 5), Qt::red));
    EXPECT_TRUE(near(img.pixelColor(50, 47), Qt::red)); // three pixels off the axis
    EXPECT_EQ(img.pixelColor(50, 40), kBackground);
}

TEST(EntityRenderer, BlockReferenceTransformsAndPassesItsColourToByBlock) {
    AcDbDatabase db;
    auto* inner = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    inner->setColor(AcCmColor::byBlock());
    const AcDbObjectId block = addBlock(db, "TICK", {inner});
    auto* ref = new AcDbBlockReference(AcGePoint3d(2, 6, 0), block);
    ref->setScaleFactors(AcGeVector3d(4, 4, 4));
    ref->setColorIndex(3);
    appendToModelSpace(db, ref);
    const QImage img = renderModelSpace(db);
    EXPECT_TRUE(near(at(img, 4, 6), Qt::green));
    EXPECT_EQ(at(img, 0.5, 0.1), kBackground); // nothing at the block's own origin
}

TEST(EntityRenderer, BlockThatContainsItselfIsDrawnOnce) {
    AcDbDatabase db;
    const AcDbObjectId block =
        addBlock(db, "LOOP", {new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0))});
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(block, AcDb::kForWrite);
        auto* self = new AcDbBlockReference(AcGePoint3d(1, 1, 0), block);
        rec->appendAcDbEntity(self);
        self->close();
    }
    appendToModelSpace(db, new AcDbBlockReference(AcGePoint3d(3, 3, 0), block));
    const QImage img = renderModelSpace(db);
    EXPECT_GT(countNonBackground(img, img.rect()), 0);
}

TEST(EntityRenderer, EntitiesOnLayersThatAreOffAreNotDrawn) {
    AcDbDatabase db;
    {
        AcDbLayerTable* layers = nullptr;
        ASSERT_EQ(db.getLayerTable(layers, AcDb::kForWrite), Acad::eOk);
        auto* rec = new AcDbLayerTableRecord;
        rec->setName("HIDDEN");
        rec->setIsOff(true);
        layers->add(rec);
        rec->close();
        layers->close();
    }
    auto* line = new AcDbLine(AcGePoint3d(1, 5, 0), AcGePoint3d(9, 5, 0));
    line->setLayer("HIDDEN");
    appendToModelSpace(db, line);
    const QImage img = renderModelSpace(db);
    EXPECT_EQ(countNonBackground(img, img.rect()), 0);
}

TEST(EntityRenderer, TableShowsGridTextAndHighlightsTheSelectedCells) {
    AcDbDatabase db;
    auto* table = new AcDbTable;
    table->setTableStyle(db.tablestyle());
    table->setSize(2, 3);
    table->setColumnWidth(3.0);
    table->setRowHeight(3.0);
    table->setPosition(AcGePoint3d(0.5, 9.5, 0));
    table->setTextString(1, 2, "WWWW");
    table->setTextHeight(1, 2, 1.0);
    const AcDbObjectId id = appendToModelSpace(db, table);

    QImage plain = renderModelSpace(db);
    // Top edge of the table is a grid line.
    EXPECT_NE(at(plain, 2, 9.5), kBackground);
    // Text pixels inside cell (1, 2): x 6.5..9.5, y 3.5..6.5.
    EXPECT_GT(countNonBackground(plain, QRect(67, 37, 25, 25)), 10);

    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        ASSERT_EQ(t->setSubSelection(0, 0, 1, 2), Acad::eOk);
    }
    QImage selected = renderModelSpace(db);
    const QColor inSelection = at(selected, 5, 8);
    EXPECT_NE(inSelection, kBackground);
    EXPECT_GT(inSelection.blue(), inSelection.red());
    EXPECT_EQ(at(selected, 2, 5), kBackground); // cell (1, 0) is not selected
    EXPECT_EQ(at(plain, 5, 8), kBackground);

    // Selected text keeps its own colour: the tint lies under it, not over it.
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        ASSERT_EQ(t->setSubSelection(1, 1, 2, 2), Acad::eOk);
    }
    const QImage textSelected = renderModelSpace(db);
    const QRect textArea(67, 37, 25, 25);
    QColor ink = kBackground;
    for (int y = textArea.top(); y <= textArea.bottom(); ++y)
        for (int x = textArea.left(); x <= textArea.right(); ++x)
            if (plain.pixelColor(x, y).lightness() > ink.lightness())
                ink = plain.pixelColor(x, y);
    int inkPixels = 0;
    for (int y = textArea.top(); y <= textArea.bottom(); ++y)
        for (int x = textArea.left(); x <= textArea.right(); ++x)
            if (textSelected.pixelColor(x, y) == ink)
                ++inkPixels;
    EXPECT_GT(inkPixels, 0) << "the text's own colour is still drawn in the selection";
    EXPECT_NE(textSelected.pixelColor(92, 62), plain.pixelColor(92, 62)) << "the cell is tinted";
}

// A selection ending inside a merged cell shows the whole merged cell, and
// its translucent fill is laid once, however many selected cells share it.
TEST(EntityRenderer, SelectionCoversMergedCellsOnItsRimOnce) {
    AcDbDatabase db;
    auto* table = new AcDbTable;
    table->setTableStyle(db.tablestyle());
    table->setSize(3, 3);
    table->setColumnWidth(3.0);
    table->setRowHeight(3.0);
    table->setPosition(AcGePoint3d(0.5, 9.5, 0));
    ASSERT_EQ(table->mergeCells(1, 2, 1, 2), Acad::eOk);
    ASSERT_EQ(table->setSubSelection(0, 2, 0, 1), Acad::eOk);
    appendToModelSpace(db, table);

    const QImage img = renderModelSpace(db);
    const QColor plainCell = at(img, 2, 8);
    ASSERT_NE(plainCell, kBackground);
    EXPECT_EQ(at(img, 5, 5), plainCell);   // merged cell, two of its cells selected
    EXPECT_EQ(at(img, 8, 2), plainCell);   // merged cell beyond the range's corner
    EXPECT_EQ(at(img, 8, 8), kBackground); // cell (0, 2) is not selected
}

TEST(EntityRenderer, TextAlignmentPlacesTheText) {
    AcDbDatabase db;
    auto* left = new AcDbMText;
    left->setContents("HHHH");
    left->setTextHeight(1.0);
    left->setAttachment(AcDb::kTopLeft);
    left->setLocation(AcGePoint3d(1, 9, 0));
    appendToModelSpace(db, left);
    auto* right = new AcDbText;
    right->setTextString("HH");
    right->setHeight(1.0);
    right->setHorizontalMode(AcDbText::kRight);
    right->setAlignmentPoint(AcGePoint3d(9, 2, 0));
    appendToModelSpace(db, right);
    const QImage img = renderModelSpace(db);
    // Top-left attachment: text right of and below the location, none above it.
    EXPECT_GT(countNonBackground(img, QRect(10, 10, 30, 10)), 10);
    EXPECT_EQ(countNonBackground(img, QRect(0, 0, 100, 8)), 0);
    // Right-aligned text ends at its alignment point: none right of x = 9.
    EXPECT_GT(countNonBackground(img, QRect(60, 70, 30, 10)), 10);
    EXPECT_EQ(countNonBackground(img, QRect(92, 60, 8, 40)), 0);
}

TEST(GsDevice, PaintsItsViewsIntoTheWidget) {
    AcDbDatabase db;
    auto* line = new AcDbLine(AcGePoint3d(0, 5, 0), AcGePoint3d(10, 5, 0));
    line->setColorIndex(1);
    line->setLineWeight(AcDb::kLnWt100);
    appendToModelSpace(db, line);

    QWidget widget;
    widget.resize(120, 80);
    AcGsManager* manager = acgsGetGsManager();
    ASSERT_NE(manager, nullptr);
    AcGsDevice* device = manager->createAutoCADDevice(&widget);
    device->setBackgroundColor(Qt::black);
    AcGsView* view = manager->getGSClassFactory()->createView();
    AcGsModel* model = manager->createAutoCADModel();
    device->onSize(120, 80);
    ASSERT_TRUE(device->add(view));
    EXPECT_FALSE(device->add(view));
    view->setView(AcGePoint3d(5, 5, 1), AcGePoint3d(5, 5, 0), AcGeVector3d::kYAxis, 10, 10);
    ASSERT_TRUE(view->add(line, model)); // kept by id: the line is in the database
    AcDbExtents ext = view->contentExtents();
    ASSERT_TRUE(ext.isValid());
    EXPECT_DOUBLE_EQ(ext.maxPoint().x, 10);

    QImage shot = widget.grab().toImage();
    EXPECT_TRUE(near(shot.pixelColor(60, 40), Qt::red));

    // Removing the view hands painting back to the widget.
    ASSERT_TRUE(device->erase(view));
    shot = widget.grab().toImage();
    EXPECT_FALSE(near(shot.pixelColor(60, 40), Qt::red));

    manager->getGSClassFactory()->deleteView(view);
    manager->destroyAutoCADModel(model);
    manager->destroyAutoCADDevice(device);
}

TEST(GsDevice, ViewDeletedWhileAttachedLeavesTheDevice) {
    QWidget widget;
    AcGsManager* manager = acgsGetGsManager();
    AcGsDevice* device = manager->createAutoCADDevice(&widget);
    AcGsView* view = manager->getGSClassFactory()->createView();
    device->add(view);
    manager->getGSClassFactory()->deleteView(view);
    EXPECT_TRUE(device->views().empty());
    manager->destroyAutoCADDevice(device);
    EXPECT_EQ(manager->createAutoCADDevice(nullptr), nullptr);
}
