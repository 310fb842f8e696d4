#pragma once
// TABLESTYLE objects: margins, flow, suppressed rows and one cell format per
// row type, written in the order data, title, header.

#include "acdb/tablestyle.h"
#include "dxf_records.h"
#include "dxf_writer.h"
#include "read_context.h"

#include <memory>

namespace acdxf {

void writeTableStyle(DxfWriter& w, const AcDbTableStyle& style, AcDbHandle handle,
                     AcDbHandle owner);

// A new style (not in a database) holding what the record says. Text style
// names are looked up in the styles read so far.
std::unique_ptr<AcDbTableStyle> readTableStyle(const DxfRecord& r, ReadContext& ctx);

} // namespace acdxf
