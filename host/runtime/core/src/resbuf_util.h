#pragma once
// Value kinds of result-buffer types and group codes, shared by the list
// builder, list copies and selection filters.

#include "adscodes.h"

namespace cadhost {

enum class RbValueKind { None, String, Real, Short, Long, Point, Name, Unknown };

RbValueKind rbValueKind(int restype);
// A deep copy of a chain (strings included); null for null.
resbuf* copyResbufChain(const resbuf* rb);

} // namespace cadhost
