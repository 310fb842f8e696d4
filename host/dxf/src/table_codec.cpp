// ACAD_TABLE: the table as a block reference to its *T block of graphics,
// then its grid (rows 91, columns 92, heights 141, widths 142) and one group
// of codes per cell, row by row. A cell writes its content always and each
// style property only where the cell overrides it (bits of code 177).

#include "acdb/table_limits.h"
#include "dxf_color.h"
#include "dxf_error.h"
#include "dxf_values.h"
#include "entity_codecs.h"
#include "host_xdata.h"
#include "table_cell_codes.h"

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace acdxf {

namespace {

using namespace cellbits;

// Limits that no real table reaches; larger counts are damage.
constexpr int kMaxRows = acdb::kTableMaxRows;
constexpr int kMaxColumns = acdb::kTableMaxColumns;
constexpr std::int64_t kMaxCells = acdb::kTableMaxCells;

// Table-level override bits (code 93): the cell margins.
constexpr int kTableHorzMargin = 0x08;
constexpr int kTableVertMargin = 0x10;

// Properties of the true-colour extended data of a cell.
enum TrueColorProperty { kTcText = 0, kTcFill = 1, kTcEdge0 = 2 };

// ---------------------------------------------------------------- writing

enum class MergeRole { kPlain, kAnchor, kCovered };

struct CellMerge {
    MergeRole role = MergeRole::kPlain;
    int rows = 1, cols = 1;
};

std::vector<CellMerge> mergeRoles(const AcDbTable& t, int rows, int cols) {
    std::vector<CellMerge> roles(static_cast<std::size_t>(rows) * cols);
    for (const AcDbTable::Range& m : t.mergedRanges()) {
        for (int r = m.minRow; r <= m.maxRow && r < rows; ++r)
            for (int c = m.minCol; c <= m.maxCol && c < cols; ++c)
                roles[static_cast<std::size_t>(r) * cols + c] = {MergeRole::kCovered, 0, 0};
        if (m.minRow < rows && m.minCol < cols)
            roles[static_cast<std::size_t>(m.minRow) * cols + m.minCol] = {
                MergeRole::kAnchor, m.maxRow - m.minRow + 1, m.maxCol - m.minCol + 1};
    }
    return roles;
}

// The cell's own overrides: what code 177 carries (it has 16 bits).
unsigned overrideFlags(const AcDbTable& t, int r, int c) {
    unsigned flags = 0;
    auto cell = [&](AcDbTable::CellProperty p, unsigned bit) {
        if (t.isCellPropertyOverridden(r, c, p))
            flags |= bit;
    };
    cell(AcDbTable::kCellAlignment, kAlignment);
    cell(AcDbTable::kCellFillNone, kFillNone);
    cell(AcDbTable::kCellFillColor, kFillColor);
    cell(AcDbTable::kCellTextColor, kTextColor);
    cell(AcDbTable::kCellTextStyle, kTextStyle);
    cell(AcDbTable::kCellTextHeight, kTextHeight);
    return flags;
}

// The overridden properties of the cell's own four grid segments (inner
// segments of merged regions included), in the bits of table_cell_codes.h.
unsigned edgeOverrideBits(const AcDbTable& t, int r, int c) {
    unsigned bits = 0;
    for (int e = 0; e < 4; ++e) {
        const unsigned ov = t.gridEdge(r, c, kEdgeMasks[e]).overridden;
        if (ov & (1u << AcDbTable::kEdgeColor))
            bits |= edgeColor(e);
        if (ov & (1u << AcDbTable::kEdgeLineWeight))
            bits |= edgeLineWeight(e);
        if (ov & (1u << AcDbTable::kEdgeVisibility))
            bits |= edgeVisibility(e);
    }
    return bits;
}

void writeColor(DxfWriter& w, int code, const AcCmColor& color, int row, int col, int property,
                std::vector<TrueColorEntry>& trueColors) {
    w.integer(code, colorNumber(color));
    if (std::int32_t rgb = trueColorValue(color); rgb >= 0)
        trueColors.push_back({row, col, property, rgb});
}

void writeCellOverrides(const AcDbTable& t, int r, int c, unsigned flags, DxfWriter& w,
                        std::vector<TrueColorEntry>& trueColors) {
    AcDbTable::GridEdge edges[4];
    for (int e = 0; e < 4; ++e)
        edges[e] = t.gridEdge(r, c, kEdgeMasks[e]);
    if (flags & kTextStyle)
        w.text(7, textStyleName(t.textStyle(r, c)));
    if (flags & kTextHeight)
        w.real(140, t.textHeight(r, c));
    if (flags & kAlignment)
        w.integer(170, t.cellAlignment(r, c));
    if (flags & kTextColor)
        writeColor(w, 64, t.textColor(r, c), r, c, kTcText, trueColors);
    if (flags & kFillColor)
        writeColor(w, 63, t.fillColor(r, c), r, c, kTcFill, trueColors);
    for (int e = 0; e < 4; ++e)
        if (flags & edgeColor(e))
            writeColor(w, kEdgeColorCodes[e], edges[e].color, r, c, kTcEdge0 + e, trueColors);
    for (int e = 0; e < 4; ++e)
        if (flags & edgeLineWeight(e))
            w.integer(kEdgeLineWeightCodes[e], edges[e].lineWeight);
    if (flags & kFillNone)
        w.integer(283, t.isFillNone(r, c) ? 0 : 1);
    for (int e = 0; e < 4; ++e)
        if (flags & edgeVisibility(e))
            w.integer(kEdgeVisibilityCodes[e], edges[e].visibility == AcDb::kVisible ? 1 : 0);
}

void writeCell(const AcDbTable& t, int r, int c, const CellMerge& merge, DxfWriter& w,
               TableXdata& xdata) {
    AcDb::CellType type = t.cellType(r, c);
    bool block = type == AcDb::kBlockCell;
    unsigned flags = overrideFlags(t, r, c);
    const unsigned edgeBits = edgeOverrideBits(t, r, c);
    if (edgeBits)
        xdata.edgeOverrides.push_back({r, c, static_cast<std::int32_t>(edgeBits)});
    w.integer(171, type);
    w.integer(172, 0);
    w.integer(173, merge.role == MergeRole::kPlain ? 0 : 1);
    w.integer(174, block && t.cellBlockAutoFit(r, c) ? 1 : 0);
    w.integer(175, merge.cols);
    w.integer(176, merge.rows);
    w.integer(177, flags);
    // The top edge of a lower row and the left edge of a later column are
    // the same grid lines as the neighbours' bottom and right edges.
    w.integer(178, (r > 0 ? AcDb::kTopMask : 0) | (c > 0 ? AcDb::kLeftMask : 0));
    w.real(145, block ? t.cellBlockRotation(r, c) : 0.0);
    if (block) {
        AcDbObjectId blockId = t.cellBlock(r, c);
        w.handle(340, peek<AcDbBlockTableRecord>(blockId) ? blockId.handle() : AcDbHandle());
        w.real(144, t.cellBlockScale(r, c));
        auto values = t.cellBlockAttributeValues(r, c);
        std::size_t n = 0;
        for (const auto& v : values)
            n += peek<AcDbAttributeDefinition>(v.first) ? 1 : 0;
        w.integer(179, static_cast<long long>(n));
        for (const auto& [attdef, value] : values) {
            if (!peek<AcDbAttributeDefinition>(attdef))
                continue;
            w.handle(331, attdef.handle());
            w.text(300, value);
        }
        // The text the cell had before it showed a block comes back when it
        // shows text again, so a save keeps it too.
        if (std::string text = t.textString(r, c); !text.empty())
            writeLongText(w, 2, 1, text);
    } else {
        writeLongText(w, 2, 1, t.textString(r, c));
    }
    writeCellOverrides(t, r, c, flags | edgeBits, w, xdata.trueColors);
}

void writeTable(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& t = static_cast<const AcDbTable&>(e);
    const TableBlockPlan* block = ctx.plan.tableBlock(t.objectId());
    DxfWriter& w = ctx.w;
    writeEntityStart("ACAD_TABLE", e, ctx);
    writeBlockReferencePart(w, t, block ? block->name : std::string());

    w.raw(100, "AcDbTable");
    w.integer(280, 0);
    if (peek<AcDbTableStyle>(t.tableStyle()))
        w.handle(342, t.tableStyle().handle());
    w.handle(343, block ? block->record : AcDbHandle());
    w.vector(11, t.direction());
    int rows = t.rowCount(), cols = t.columnCount();
    // Only the margins the table overrides: the other follows its style.
    const bool horzMargin = t.isHorizontalMarginOverridden();
    const bool vertMargin = t.isVerticalMarginOverridden();
    w.integer(90, 22);
    w.integer(91, rows);
    w.integer(92, cols);
    w.integer(93, (horzMargin ? kTableHorzMargin : 0) | (vertMargin ? kTableVertMargin : 0));
    w.integer(94, 0);
    w.integer(95, 0);
    w.integer(96, 0);
    TableXdata xdata;
    // 141 is the height drawn (what the *T block shows other readers); a
    // row set lower than its content needs keeps its own height here too.
    for (int r = 0; r < rows; ++r) {
        w.real(141, t.rowHeight(r));
        if (t.storedRowHeight(r) != t.rowHeight(r))
            xdata.storedRowHeights.emplace_back(r, t.storedRowHeight(r));
    }
    for (int c = 0; c < cols; ++c)
        w.real(142, t.columnWidth(c));
    std::vector<CellMerge> roles = mergeRoles(t, rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            writeCell(t, r, c, roles[static_cast<std::size_t>(r) * cols + c], w, xdata);
    if (horzMargin)
        w.real(40, t.horizontalCellMargin());
    if (vertMargin)
        w.real(41, t.verticalCellMargin());
    writeTableXdata(w, xdata);
}

// ---------------------------------------------------------------- reading

// What a cell record says beyond its type and text; most cells of big
// tables say nothing more, so this is kept out of line.
struct ParsedCellDetails {
    bool autoFit = false;
    int spanCols = 1, spanRows = 1;
    double rotation = 0;
    AcDbHandle block;
    double blockScale = 1;
    bool hasBlockScale = false;
    std::vector<std::pair<AcDbHandle, std::string>> attributes;
    std::string textStyle;
    double textHeight = 0;
    int alignment = 0;
    AcCmColor textColor, fillColor;
    bool fillOn = false;
    AcCmColor edgeColors[4];
    int edgeWeights[4] = {};
    bool edgeVisible[4] = {};
};

// Kept small: a table may have a million of them, all held until the
// drawing's styles and blocks are read. The text lives in the table's pool.
struct ParsedCell {
    std::uint32_t line = 0;
    int type = AcDb::kTextCell;
    unsigned flags = 0;     // code 177, when hasFlags
    unsigned present = 0;   // properties the record gives, same bits
    unsigned edgeFlags = 0; // edge bits of this host's extended data, when hasEdgeFlags
    std::uint32_t textBegin = 0, textEnd = 0; // in ParsedTable::texts
    bool hasFlags = false;
    bool hasText = false;
    bool hasEdgeFlags = false;
    std::unique_ptr<ParsedCellDetails> details;

    const ParsedCellDetails& d() const {
        static const ParsedCellDetails none;
        return details ? *details : none;
    }
    ParsedCellDetails& edit() {
        if (!details)
            details = std::make_unique<ParsedCellDetails>();
        return *details;
    }

    // A property the record gives counts as an override when the record
    // says so: edges by the extended data of this host's files, else by 177
    // (older files of this host carry edge bits there too), and when neither
    // says anything, every property given is an override.
    bool applies(unsigned bit) const {
        if (!(present & bit))
            return false;
        if (bit > kCellBitsMask && hasEdgeFlags)
            return edgeFlags & bit;
        return !hasFlags || (flags & bit);
    }
};

struct ParsedTable {
    std::uint32_t line = 0;
    AcDbHandle style;
    AcGeVector3d direction{1, 0, 0};
    int rows = -1, cols = -1;
    std::vector<double> heights, widths;
    std::vector<ParsedCell> cells;
    std::string texts; // the cells' texts, one after another
    std::string_view text(const ParsedCell& c) const {
        return std::string_view(texts).substr(c.textBegin, c.textEnd - c.textBegin);
    }
    std::optional<double> horzMargin, vertMargin;
    TableXdata xdata;
};

class TableRecordParser {
public:
    TableRecordParser(const DxfRecord& r, ReadContext& ctx) : m_r(r), m_ctx(ctx) {
        m_table.line = r.line;
    }

    // Fills the entity's block reference part and returns the grid.
    ParsedTable parse(AcDbTable& table) {
        enum { kEntity, kBlockRef, kTable } part = kEntity;
        BlockReferencePart blockRef;
        AcDbHandle blockRecord;
        for (const DxfToken& t : m_r.body) {
            if (t.code == 100) {
                if (t.value == "AcDbBlockReference")
                    part = kBlockRef;
                else if (t.value == "AcDbTable")
                    part = kTable;
                continue;
            }
            if (part == kEntity)
                continue;
            if (part == kBlockRef) {
                blockRef.take(t, m_ctx);
                continue;
            }
            if (t.code == 343)
                blockRecord = toHandle(t);
            tableCode(t);
        }
        blockRef.applyTo(table);
        m_ctx.claimTableBlock(blockRecord, blockRef.blockName);
        finish();
        m_table.xdata = readTableXdata(m_r);
        if (m_table.xdata.hasEdgeOverrides) {
            for (ParsedCell& cell : m_table.cells) {
                cell.edgeFlags = 0u;
                cell.hasEdgeFlags = true;
            }
            for (const CellBitsEntry& e : m_table.xdata.edgeOverrides)
                if (e.row >= 0 && e.row < m_table.rows && e.column >= 0 && e.column < m_table.cols)
                    m_table.cells[std::size_t(e.row) * m_table.cols + e.column].edgeFlags =
                        static_cast<unsigned>(e.bits);
        }
        return std::move(m_table);
    }

private:
    [[noreturn]] void damaged(const DxfToken& t, const std::string& what) {
        throw DxfError(t.line, "ACAD_TABLE " + what);
    }

    void tableCode(const DxfToken& t) {
        if (t.code == 171) {
            startCell(t);
            return;
        }
        if (m_table.cells.empty() || m_afterCells) {
            tableLevelCode(t);
            return;
        }
        switch (t.code) {
        case 40:
        case 41:
        case 70:
        case 280:
        case 281:
            // Table-level codes that follow the last cell.
            m_afterCells = true;
            tableLevelCode(t);
            return;
        default:
            cellCode(m_table.cells.back(), t);
        }
    }

    void tableLevelCode(const DxfToken& t) {
        switch (t.code) {
        case 342:
            m_table.style = toHandle(t);
            break;
        case 11:
            m_table.direction.x = toReal(t);
            break;
        case 21:
            m_table.direction.y = toReal(t);
            break;
        case 31:
            m_table.direction.z = toReal(t);
            break;
        case 91:
            if (m_table.cells.empty())
                setCount(t, m_table.rows, kMaxRows, "rows");
            break;
        case 92:
            if (m_table.cells.empty())
                setCount(t, m_table.cols, kMaxColumns, "columns");
            break;
        case 141:
            if (m_table.rows < 0 || m_table.heights.size() >= std::size_t(m_table.rows))
                damaged(t, "has more row heights than rows");
            m_table.heights.push_back(toReal(t));
            break;
        case 142:
            if (m_table.cols < 0 || m_table.widths.size() >= std::size_t(m_table.cols))
                damaged(t, "has more column widths than columns");
            m_table.widths.push_back(toReal(t));
            break;
        case 40:
            if (m_afterCells || !m_table.cells.empty())
                m_table.horzMargin = toReal(t);
            break;
        case 41:
            if (m_afterCells || !m_table.cells.empty())
                m_table.vertMargin = toReal(t);
            break;
        default:
            break;
        }
    }

    void setCount(const DxfToken& t, int& count, int max, const char* what) {
        std::int64_t n = toInt64(t);
        if (n < 1 || n > max)
            damaged(t, "has " + std::to_string(n) + " " + what + "; the file is damaged");
        count = static_cast<int>(n);
        if (m_table.rows > 0 && m_table.cols > 0 &&
            std::int64_t(m_table.rows) * m_table.cols > kMaxCells)
            damaged(t, "has " + std::to_string(m_table.rows) + " x " +
                           std::to_string(m_table.cols) +
                           " cells; the file is damaged (a table holds at most " +
                           std::to_string(kMaxCells) + " cells)");
    }

    void startCell(const DxfToken& t) {
        if (m_table.rows < 0 || m_table.cols < 0)
            damaged(t, "has cells before its row and column counts");
        if (m_table.cells.size() >= std::size_t(m_table.rows) * std::size_t(m_table.cols))
            damaged(t, "has more cells than its " + std::to_string(m_table.rows) + " x " +
                           std::to_string(m_table.cols) + " grid");
        ParsedCell& cell = m_table.cells.emplace_back();
        cell.line = t.line;
        cell.type = toInt(t);
    }

    // A cell's text pieces come one after another, so each cell's text is
    // one stretch of the pool.
    void appendText(ParsedCell& cell, std::string_view piece, const DxfToken& t) {
        if (piece.size() > std::numeric_limits<std::uint32_t>::max() - m_table.texts.size())
            damaged(t, "has more cell text than a table can hold");
        if (!cell.hasText) {
            cell.textBegin = static_cast<std::uint32_t>(m_table.texts.size());
            cell.hasText = true;
        }
        m_table.texts.append(piece);
        cell.textEnd = static_cast<std::uint32_t>(m_table.texts.size());
    }

    // Codes every cell of this host's files carries: a cell whose values are
    // the defaults keeps no details.
    template <class V>
    static void setDetail(ParsedCell& cell, V ParsedCellDetails::*field, V value) {
        if (cell.details || !(value == ParsedCellDetails().*field))
            cell.edit().*field = value;
    }

    void cellCode(ParsedCell& cell, const DxfToken& t) {
        switch (t.code) {
        case 174:
            setDetail(cell, &ParsedCellDetails::autoFit, toInt(t) != 0);
            break;
        case 175:
            setDetail(cell, &ParsedCellDetails::spanCols, toInt(t));
            break;
        case 176:
            setDetail(cell, &ParsedCellDetails::spanRows, toInt(t));
            break;
        case 177:
            cell.flags = static_cast<unsigned>(toInt(t));
            cell.hasFlags = true;
            break;
        case 145:
            setDetail(cell, &ParsedCellDetails::rotation, toReal(t));
            break;
        case 2:
        case 3:
        case 302:
        case 303:
            appendText(cell, t.value, t);
            break;
        case 1:
        case 301:
            appendText(cell, t.value, t);
            break;
        case 340:
            cell.edit().block = toHandle(t);
            break;
        case 144:
            cell.edit().blockScale = toReal(t);
            cell.edit().hasBlockScale = true;
            break;
        case 331:
            cell.edit().attributes.emplace_back(toHandle(t), std::string());
            break;
        case 300:
            if (!cell.edit().attributes.empty())
                cell.edit().attributes.back().second = m_ctx.text(t.value);
            break;
        case 7:
            cell.edit().textStyle = m_ctx.text(t.value);
            cell.present |= kTextStyle;
            break;
        case 140:
            cell.edit().textHeight = toReal(t);
            cell.present |= kTextHeight;
            break;
        case 170:
            cell.edit().alignment = toInt(t);
            cell.present |= kAlignment;
            break;
        case 64:
            cell.edit().textColor = colorFromNumber(toInt(t));
            cell.present |= kTextColor;
            break;
        case 63:
            cell.edit().fillColor = colorFromNumber(toInt(t));
            cell.present |= kFillColor;
            break;
        case 283:
            cell.edit().fillOn = toInt(t) != 0;
            cell.present |= kFillNone;
            break;
        default:
            edgeCode(cell, t);
            break;
        }
    }

    void edgeCode(ParsedCell& cell, const DxfToken& t) {
        for (int e = 0; e < 4; ++e) {
            if (t.code == kEdgeColorCodes[e]) {
                cell.edit().edgeColors[e] = colorFromNumber(toInt(t));
                cell.present |= edgeColor(e);
            } else if (t.code == kEdgeLineWeightCodes[e]) {
                cell.edit().edgeWeights[e] = toInt(t);
                cell.present |= edgeLineWeight(e);
            } else if (t.code == kEdgeVisibilityCodes[e]) {
                cell.edit().edgeVisible[e] = toInt(t) != 0;
                cell.present |= edgeVisibility(e);
            }
        }
    }

    void finish() {
        ParsedTable& p = m_table;
        DxfToken at;
        at.line = m_r.line;
        if (p.rows < 0 || p.cols < 0)
            damaged(at, "has no row or column count");
        if (p.heights.size() != std::size_t(p.rows))
            damaged(at, "has " + std::to_string(p.heights.size()) + " row heights for " +
                            std::to_string(p.rows) + " rows");
        if (p.widths.size() != std::size_t(p.cols))
            damaged(at, "has " + std::to_string(p.widths.size()) + " column widths for " +
                            std::to_string(p.cols) + " columns");
        if (p.cells.size() != std::size_t(p.rows) * std::size_t(p.cols))
            damaged(at, "has " + std::to_string(p.cells.size()) + " cells for a " +
                            std::to_string(p.rows) + " x " + std::to_string(p.cols) + " grid");
    }

    const DxfRecord& m_r;
    ReadContext& m_ctx;
    ParsedTable m_table;
    bool m_afterCells = false;
};

// Puts the parsed grid into the table once styles, blocks and attribute
// definitions are in place.
class TableBuilder {
public:
    TableBuilder(ReadContext& ctx, AcDbTable& t, const ParsedTable& p)
        : m_ctx(ctx), m_t(t), m_p(p) {}

    void build() {
        AcDbObjectId style =
            m_ctx.resolve(m_p.style, AcDbTableStyle::desc(), "ACAD_TABLE style (342)", m_p.line);
        if (!style.isNull())
            m_t.setTableStyle(style);
        if (!m_p.direction.isZeroLength())
            m_t.setDirection(m_p.direction);
        m_t.setSize(m_p.rows, m_p.cols);
        for (int c = 0; c < m_p.cols; ++c)
            if (m_p.widths[c] > 0)
                m_t.setColumnWidth(c, m_p.widths[c]);
        for (int r = 0; r < m_p.rows; ++r)
            if (m_p.heights[r] > 0)
                m_t.setRowHeight(r, m_p.heights[r]);
        for (const auto& [r, height] : m_p.xdata.storedRowHeights)
            if (r >= 0 && r < m_p.rows && height > 0)
                m_t.setRowHeight(r, height);
        if (m_p.horzMargin && *m_p.horzMargin >= 0)
            m_t.setHorizontalCellMargin(*m_p.horzMargin);
        if (m_p.vertMargin && *m_p.vertMargin >= 0)
            m_t.setVerticalCellMargin(*m_p.vertMargin);
        for (int r = 0; r < m_p.rows; ++r)
            for (int c = 0; c < m_p.cols; ++c)
                merge(r, c, cell(r, c));
        for (int r = 0; r < m_p.rows; ++r)
            for (int c = 0; c < m_p.cols; ++c)
                content(r, c, cell(r, c));
        applyTrueColors();
    }

private:
    const ParsedCell& cell(int r, int c) const {
        return m_p.cells[static_cast<std::size_t>(r) * m_p.cols + c];
    }

    void merge(int r, int c, const ParsedCell& cell) {
        if (cell.d().spanRows <= 1 && cell.d().spanCols <= 1)
            return;
        int maxRow = r + std::max(cell.d().spanRows, 1) - 1;
        int maxCol = c + std::max(cell.d().spanCols, 1) - 1;
        if (maxRow >= m_p.rows || maxCol >= m_p.cols)
            throw DxfError(cell.line, "ACAD_TABLE cell (" + std::to_string(r + 1) + ", " +
                                          std::to_string(c + 1) +
                                          ") is merged beyond the table's edge");
        if (m_t.mergeCells(r, maxRow, c, maxCol) != Acad::eOk)
            throw DxfError(cell.line, "ACAD_TABLE cell (" + std::to_string(r + 1) + ", " +
                                          std::to_string(c + 1) +
                                          ") is merged over another merged range");
    }

    void content(int r, int c, const ParsedCell& cell) {
        if (cell.type == AcDb::kBlockCell) {
            AcDbObjectId block = m_ctx.resolve(cell.d().block, AcDbBlockTableRecord::desc(),
                                               "ACAD_TABLE block cell (340)", cell.line);
            if (block.isNull())
                m_t.setCellType(r, c, AcDb::kBlockCell);
            else
                m_t.setCellBlock(r, c, block, cell.d().autoFit);
            m_t.setCellBlockAutoFit(r, c, cell.d().autoFit);
            if (cell.d().hasBlockScale && cell.d().blockScale > 0)
                m_t.setCellBlockScale(r, c, cell.d().blockScale);
            if (cell.d().rotation != 0)
                m_t.setCellBlockRotation(r, c, cell.d().rotation);
            for (const auto& [handle, value] : cell.d().attributes) {
                AcDbObjectId attdef = m_ctx.resolve(handle, AcDbAttributeDefinition::desc(),
                                                    "ACAD_TABLE attribute value (331)", cell.line);
                if (!attdef.isNull())
                    m_t.setCellBlockAttributeValue(r, c, attdef, value);
            }
            if (cell.hasText)
                m_t.setTextString(r, c, m_ctx.text(m_p.text(cell)));
        } else {
            if (cell.type != AcDb::kTextCell)
                m_t.setCellType(r, c, static_cast<AcDb::CellType>(cell.type));
            if (cell.hasText)
                m_t.setTextString(r, c, m_ctx.text(m_p.text(cell)));
        }
        overrides(r, c, cell);
    }

    void overrides(int r, int c, const ParsedCell& cell) {
        if (cell.applies(kTextStyle))
            m_t.setTextStyle(r, c, findTextStyle(m_ctx, cell.d().textStyle));
        if (cell.applies(kTextHeight) && cell.d().textHeight > 0)
            m_t.setTextHeight(r, c, cell.d().textHeight);
        if (cell.applies(kAlignment) && cell.d().alignment >= AcDb::kTopLeft &&
            cell.d().alignment <= AcDb::kBottomRight)
            m_t.setCellAlignment(r, c, static_cast<AcDb::CellAlignment>(cell.d().alignment));
        if (cell.applies(kTextColor))
            m_t.setTextColor(r, c, cell.d().textColor);
        if (cell.applies(kFillColor))
            m_t.setFillColor(r, c, cell.d().fillColor);
        if (cell.applies(kFillNone))
            m_t.setFillNone(r, c, !cell.d().fillOn);
        // Each cell names its own segments, inner ones of merged regions too.
        for (int e = 0; e < 4; ++e) {
            AcDbTable::GridEdge edge;
            if (cell.applies(edgeColor(e))) {
                edge.color = cell.d().edgeColors[e];
                edge.overridden |= 1u << AcDbTable::kEdgeColor;
            }
            if (cell.applies(edgeLineWeight(e)) &&
                AcDb::isValidLineWeight(cell.d().edgeWeights[e])) {
                edge.lineWeight = static_cast<AcDb::LineWeight>(cell.d().edgeWeights[e]);
                edge.overridden |= 1u << AcDbTable::kEdgeLineWeight;
            }
            if (cell.applies(edgeVisibility(e))) {
                edge.visibility = cell.d().edgeVisible[e] ? AcDb::kVisible : AcDb::kInvisible;
                edge.overridden |= 1u << AcDbTable::kEdgeVisibility;
            }
            if (edge.overridden)
                m_t.setGridEdge(r, c, kEdgeMasks[e], edge);
        }
    }

    void applyTrueColors() {
        for (const TrueColorEntry& tc : m_p.xdata.trueColors) {
            int r = tc.where, c = tc.column;
            if (r < 0 || r >= m_p.rows || c < 0 || c >= m_p.cols)
                continue;
            AcCmColor color = colorFromTrueColor(tc.rgb);
            if (tc.property == kTcText)
                m_t.setTextColor(r, c, color);
            else if (tc.property == kTcFill)
                m_t.setFillColor(r, c, color);
            else if (tc.property >= kTcEdge0 && tc.property < kTcEdge0 + 4) {
                AcDbTable::GridEdge edge;
                edge.color = color;
                edge.overridden = 1u << AcDbTable::kEdgeColor;
                m_t.setGridEdge(r, c, kEdgeMasks[tc.property - kTcEdge0], edge);
            }
        }
    }

    ReadContext& m_ctx;
    AcDbTable& m_t;
    const ParsedTable& m_p;
};

AcDbEntity* readTable(const DxfRecord& r, ReadContext& ctx) {
    auto* table = new AcDbTable;
    try {
        auto parsed = std::make_shared<ParsedTable>(TableRecordParser(r, ctx).parse(*table));
        ctx.later([&ctx, table, parsed] {
            AcDbObjectPointer<AcDbTable> open(table->objectId(), AcDb::kForWrite);
            if (open)
                TableBuilder(ctx, *open.object(), *parsed).build();
        });
    } catch (...) {
        delete table;
        throw;
    }
    return table;
}

} // namespace

const EntityCodec kTableCodec = {"ACAD_TABLE", &AcDbTable::desc, writeTable, readTable};

} // namespace acdxf
