#pragma once
// The table entity (DXF "ACAD_TABLE"): a grid of cells placed at its top-left
// corner. Rows run down and columns run along the table's direction. Cell
// properties are inherited from the table style for the cell's row type unless
// a setter overrode them on the cell. Setters are constant time; the graphics
// (lines, fills, text, block references) are rebuilt lazily when asked for.

#include "acdb/entity.h"
#include "acdb/tablestyle.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct AcDbTableData; // the grid, kept out of the header

// What the screen shows of a table, compact enough for huge tables: grid
// lines as runs of collinear segments with the same look instead of one line
// entity per segment. Drawn in order: fills, grid lines, contents.
struct AcDbTableDrawing {
    struct GridLine {
        AcGePoint3d start, end; // world coordinates
        AcCmColor color;
        AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
    };
    AcDbEntityList fills;
    std::vector<GridLine> gridLines;
    AcDbEntityList contents; // texts and block references
};

class AcDbTable : public AcDbBlockReference {
    ACDB_DECLARE_MEMBERS(AcDbTable)
public:
    // Properties a cell can override on its style.
    enum CellProperty : int {
        kCellTextStyle = 0,
        kCellTextHeight,
        kCellAlignment,
        kCellTextColor,
        kCellFillColor,
        kCellFillNone,
        kCellPropertyCount
    };
    // Properties of one grid line segment.
    enum EdgeProperty : int { kEdgeVisibility = 0, kEdgeColor, kEdgeLineWeight };

    AcDbTable();
    AcDbTable(const AcDbTable& other);
    ~AcDbTable() override;

    // ---- size
    int rowCount() const;
    int columnCount() const;
    int numRows() const { return rowCount(); }
    int numColumns() const { return columnCount(); }
    // Resizing keeps the cells that remain; new ones are empty text cells.
    Acad::ErrorStatus setNumRows(int rows);
    Acad::ErrorStatus setNumColumns(int cols);
    Acad::ErrorStatus setSize(int rows, int cols);
    double columnWidth(int col) const;
    Acad::ErrorStatus setColumnWidth(int col, double width);
    Acad::ErrorStatus setColumnWidth(double width); // every column
    // The height a row is drawn with: never below what its content needs
    // (texts, and blocks at a fixed scale) plus two vertical margins.
    double rowHeight(int row) const;
    // The height set for the row, which may be below what its content needs.
    double storedRowHeight(int row) const;
    Acad::ErrorStatus setRowHeight(int row, double height);
    Acad::ErrorStatus setRowHeight(double height); // every row
    double minimumRowHeight(int row) const;
    double width() const;
    double height() const;
    // Insert before the index (index == count appends), copying the format
    // of the neighbouring row or column.
    Acad::ErrorStatus insertColumns(int col, double width, int count = 1);
    Acad::ErrorStatus insertRows(int row, double height, int count = 1);
    Acad::ErrorStatus deleteColumns(int col, int count = 1);
    Acad::ErrorStatus deleteRows(int row, int count = 1);

    // ---- merging
    Acad::ErrorStatus mergeCells(int minRow, int maxRow, int minCol, int maxCol);
    Acad::ErrorStatus unmergeCells(int minRow, int maxRow, int minCol, int maxCol);
    bool isMergedCell(int row, int col, int* minRow = nullptr, int* maxRow = nullptr,
                      int* minCol = nullptr, int* maxCol = nullptr) const;
    // Every merged region as (minRow, maxRow, minCol, maxCol).
    struct Range {
        int minRow, maxRow, minCol, maxCol;
        bool operator==(const Range&) const = default;
    };
    std::vector<Range> mergedRanges() const;

    // ---- content
    AcDb::CellType cellType(int row, int col) const;
    Acad::ErrorStatus setCellType(int row, int col, AcDb::CellType type);
    std::string textString(int row, int col) const;
    Acad::ErrorStatus setTextString(int row, int col, const std::string& text);
    AcDbObjectId textStyle(int row, int col) const;
    Acad::ErrorStatus setTextStyle(int row, int col, AcDbObjectId id);
    double textHeight(int row, int col) const;
    Acad::ErrorStatus setTextHeight(int row, int col, double height);
    AcCmColor textColor(int row, int col) const;
    Acad::ErrorStatus setTextColor(int row, int col, const AcCmColor& color);
    AcDb::CellAlignment cellAlignment(int row, int col) const;
    Acad::ErrorStatus setCellAlignment(int row, int col, AcDb::CellAlignment a);
    bool isFillNone(int row, int col) const;
    Acad::ErrorStatus setFillNone(int row, int col, bool none);
    AcCmColor fillColor(int row, int col) const;
    Acad::ErrorStatus setFillColor(int row, int col, const AcCmColor& color);

    // Block cells. setCellBlock makes the cell a block cell.
    AcDbObjectId cellBlock(int row, int col) const;
    Acad::ErrorStatus setCellBlock(int row, int col, AcDbObjectId blockId, bool autoFit = false);
    bool cellBlockAutoFit(int row, int col) const;
    Acad::ErrorStatus setCellBlockAutoFit(int row, int col, bool autoFit);
    double cellBlockScale(int row, int col) const;
    Acad::ErrorStatus setCellBlockScale(int row, int col, double scale);
    double cellBlockRotation(int row, int col) const; // radians
    Acad::ErrorStatus setCellBlockRotation(int row, int col, double rotation);
    Acad::ErrorStatus cellBlockAttributeValue(int row, int col, AcDbObjectId attDefId,
                                              std::string& value) const;
    Acad::ErrorStatus setCellBlockAttributeValue(int row, int col, AcDbObjectId attDefId,
                                                 const std::string& value);
    // Attribute values of a block cell in the order they were first set.
    std::vector<std::pair<AcDbObjectId, std::string>> cellBlockAttributeValues(int row,
                                                                               int col) const;

    // ---- grid lines; getters take one edge, setters an edge mask. The edges
    // of a cell in a merged region are the region's outline: setters write
    // every segment of that side, getters answer for its first segment.
    AcDb::Visibility edgeVisibility(int row, int col, AcDb::CellEdgeMask edge) const;
    Acad::ErrorStatus setEdgeVisibility(int row, int col, int edgeMask, AcDb::Visibility v);
    AcCmColor edgeColor(int row, int col, AcDb::CellEdgeMask edge) const;
    Acad::ErrorStatus setEdgeColor(int row, int col, int edgeMask, const AcCmColor& color);
    AcDb::LineWeight edgeLineWeight(int row, int col, AcDb::CellEdgeMask edge) const;
    Acad::ErrorStatus setEdgeLineWeight(int row, int col, int edgeMask, AcDb::LineWeight lw);

    // One grid line segment exactly as stored, named by a cell and one of its
    // sides whether or not the cell lies in a merged region (the picture and
    // drawing files need every segment, the inner ones of regions included).
    struct GridEdge {
        AcDb::Visibility visibility = AcDb::kVisible;
        AcCmColor color;
        AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
        unsigned overridden = 0; // bit (1 << EdgeProperty): the segment's own value
    };
    GridEdge gridEdge(int row, int col, AcDb::CellEdgeMask edge) const;
    // Whole grid lines as gridEdge answers them, for pictures: horizontal line
    // `line` (0 = top) over every column; the vertical segments beside `row`,
    // left to right. An index outside the grid gives none.
    void horizontalGridLine(int line, std::vector<GridEdge>& out) const;
    void verticalGridSegments(int row, std::vector<GridEdge>& out) const;
    // Writes, and marks overridden, the properties whose bits value.overridden sets.
    Acad::ErrorStatus setGridEdge(int row, int col, AcDb::CellEdgeMask edge, const GridEdge& value);

    // ---- overrides against the style
    bool isCellPropertyOverridden(int row, int col, CellProperty p) const;
    bool isEdgePropertyOverridden(int row, int col, AcDb::CellEdgeMask edge, EdgeProperty p) const;
    // Drops a cell override so the property follows the style again.
    Acad::ErrorStatus clearCellOverride(int row, int col, CellProperty p);

    // ---- table-wide
    double horizontalCellMargin() const;
    Acad::ErrorStatus setHorizontalCellMargin(double m);
    double verticalCellMargin() const;
    Acad::ErrorStatus setVerticalCellMargin(double m);
    bool isMarginOverridden() const; // either margin
    bool isHorizontalMarginOverridden() const;
    bool isVerticalMarginOverridden() const;
    AcDbObjectId tableStyle() const;
    // Takes the style's formats for every property not overridden.
    Acad::ErrorStatus setTableStyle(AcDbObjectId styleId);
    // The style's formats as this table holds them (a copy taken when the
    // style was set, so getters never open another object).
    const AcDbTableStyle& styleSnapshot() const;
    Acad::ErrorStatus setStyleSnapshot(const AcDbTableStyle& style);
    // Records the style's id without reading the style (a file names a style
    // before the style itself is read); pair it with setStyleSnapshot.
    Acad::ErrorStatus setTableStyleId(AcDbObjectId styleId);
    AcDb::RowType rowType(int row) const;
    bool isTitleSuppressed() const;
    bool isHeaderSuppressed() const;
    AcGeVector3d direction() const;
    Acad::ErrorStatus setDirection(const AcGeVector3d& horizontal);

    // ---- in-place cell selection (runtime state, never saved or copied)
    Acad::ErrorStatus selectedCellRange(int& rowMin, int& rowMax, int& colMin, int& colMax) const;
    Acad::ErrorStatus setSubSelection(int rowMin, int rowMax, int colMin, int colMax);
    Acad::ErrorStatus clearSubSelection();
    bool hasSubSelection() const;

    // ---- geometry
    // Corners in world coordinates: top-left, top-right, bottom-left,
    // bottom-right; for a merged cell the corners of its region.
    Acad::ErrorStatus cellOutline(int row, int col, bool outerCell, AcGePoint3dArray& pts) const;
    // The cell under a world point (projected on the table's plane).
    bool hitTestCell(const AcGePoint3d& pt, int& row, int& col) const;

    // Lines, solids, texts and block references in world coordinates.
    const AcDbEntityList& graphics() const;
    // The same entities, in the same order, each built, passed on and
    // dropped in turn: what writers of huge tables use.
    void forEachGraphic(const std::function<void(const AcDbEntity&)>& fn) const;
    // What the screen draws; kept until the table changes.
    const AcDbTableDrawing& drawing() const;
    // Drops the cached graphics (a referenced block changed).
    void invalidateGraphics();

    Acad::ErrorStatus setPosition(const AcGePoint3d& p) override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;
    Acad::ErrorStatus explode(AcDbEntityList& out) const override;
    void collectReferences(AcDbReferenceSink& sink) const override;
    void remapReferences(const AcDbIdMapping& map) override;

private:
    std::unique_ptr<AcDbTableData> m_data;
};
