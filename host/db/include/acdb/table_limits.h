#pragma once
// The largest table the host makes, edits, saves and reads back: one limit
// for commands, the API and drawing files, so that whatever can be made can
// be opened again.

namespace acdb {

inline constexpr int kTableMaxRows = 100000;
inline constexpr int kTableMaxColumns = 10000;
inline constexpr long long kTableMaxCells = 1000000;

} // namespace acdb
