#pragma once
// Typed values of group codes. Each throws DxfError naming the line when the
// value is not what its group code holds.

#include "acdb/objectid.h"
#include "dxf_tokenizer.h"

#include <cstdint>

namespace acdxf {

std::int64_t toInt64(const DxfToken& t);
// A 32-bit integer; values out of range are an error.
int toInt(const DxfToken& t);
// A finite real.
double toReal(const DxfToken& t);
// A hexadecimal handle; "0" and an empty value are the null handle.
AcDbHandle toHandle(const DxfToken& t);

// Largest handle accepted from files; larger ones are damage and would leave no
// room for new objects.
constexpr std::uint64_t kMaxFileHandle = std::uint64_t(1) << 60;

} // namespace acdxf
