#pragma once
// The hive file format: REGEDIT4 text.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\software\Vorel\Vorel2005\Kelvarin]
//   "DBLocation"="/home/ann/tables.db"
//   @="default value"
//   "PosX"=dword:00000064
//   "Blob"=hex:01,02,ff
//   "List"=hex(7):61,00,62,00,00,00
//
// Strings are stored as their bytes plus one terminating zero; inside quotes a quote and a
// backslash are written \" and \\. Any data that does not have that shape (no terminating zero,
// a zero or a line break inside) is written as hex(1):... so that every value reads back byte for
// byte. Long hex data continues on the next line after a trailing backslash. Lines starting
// with ';' are comments. [-key] and "name"=- delete, as in files made for import.

#include "hostreg/hive.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hostreg {

struct ReadLimits {
    std::size_t maxInputBytes = 32u * 1024u * 1024u;
    std::size_t maxReportedProblems = 50;
};

struct TextProblem {
    std::size_t line = 0; // 1-based; 0 for the file as a whole
    std::string message;
};

struct ReadResult {
    RegKey root;                       // the hive root; values and sub-keys that could be read
    std::vector<TextProblem> problems; // in line order, at most ReadLimits::maxReportedProblems
    std::size_t problemCount = 0;      // all problems, also those not listed
    bool ok() const { return problemCount == 0; }
};

// Reads a hive file's text. Keys must lie below the hive's root ("HKEY_CURRENT_USER" for user.reg);
// a line that cannot be read is reported with its number and skipped, and reading goes on.
ReadResult readRegText(std::string_view text, HiveRoot root, const ReadLimits& limits = {});

// Writes the hive as REGEDIT4 text, sub-keys in alphabetical order. Every key with values has its
// own [line]; a key without values only when it has no sub-keys (the lines of its sub-keys make
// it). The root is spelt as in "HKEY_CURRENT_USER", or "HKCU" when asked for short lines.
enum class RootSpelling { Long, Short };
std::string writeRegText(const RegKey& root, HiveRoot hiveRoot,
                         RootSpelling spelling = RootSpelling::Long);

// The text of the hive in at most maxBytes: with the long root spelling, else the short one,
// else empty (the hive cannot be written so that it reads back).
std::string writeRegTextWithin(const RegKey& root, HiveRoot hiveRoot, std::size_t maxBytes);

} // namespace hostreg
