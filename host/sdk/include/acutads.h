#pragma once
// Utility functions: printing to the command line and result-buffer lists.

#include "adscodes.h"

// Prints to the command line (printf format). Messages start with "\n" by
// convention. Returns RTNORM.
int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Builds a list from (type, value) pairs ended by 0:
//   acutBuildList(RTDXF0, "ACAD_TABLE", 8, "0", 0)
// Value by type: strings (const char*) for RTSTR, RTDXF0 and groups -4, 1-9,
// 100-109, 300-309, 410-419, 999-1009; double for RTREAL, RTANG, RTORINT and
// groups 38-59, 140-149, 1040-1042; int for RTSHORT and groups 60-79,
// 170-179, 270-289, 370-389; int32 for RTLONG and groups 90-99, 1071;
// const ads_real* for RTPOINT, RT3DPOINT and groups 10-37, 110-112,
// 1010-1013; const ads_name for RTENAME and groups -1, -2, 330-369; nothing
// for RTLB, RTLE, RTDOTE, RTNIL, RTT, RTVOID.
// Returns null for an unknown type (and releases what it built).
resbuf* acutBuildList(int type, ...);
// Releases a whole chain (strings included). Null is accepted. Returns RTNORM.
int acutRelRb(resbuf* rb);
// One new buffer of the type (string null, values zero), rbnext null.
resbuf* acutNewRb(int type);
// A copy of a string for a buffer, released by acutRelRb or acutDelString.
char* acutNewString(const char* text);
void acutDelString(char*& text);

// Case-insensitive wildcard match ('*', '?', '#' digit, '@' letter, '.'
// non-alphanumeric, '~' negation at the start, "[...]" classes, ',' alternatives,
// '`' escapes). RTNORM on a match, RTERROR otherwise.
int acutWcMatch(const char* text, const char* pattern);

// Distance between two points, and the point at an angle and distance.
ads_real acutDistance(const ads_point p1, const ads_point p2);
void acutPolar(const ads_point from, ads_real angle, ads_real distance, ads_point result);
