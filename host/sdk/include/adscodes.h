#pragma once
// Result codes, value type codes and the result-buffer list of the host's
// command-line and input functions.

#include <cstdint>

// Results of the aced*/acut* functions.
#define RTNONE 5000     // no result: the user pressed Enter at a prompt
#define RTNORM 5100     // normal completion
#define RTERROR (-5001) // the call failed
#define RTCAN (-5002)   // the user cancelled (Esc)
#define RTREJ (-5003)   // the host rejected the request as invalid
#define RTFAIL (-5004)  // the link to the host failed
#define RTKWORD (-5005) // a keyword was entered (read it with acedGetInput)
#define RTINPUTTRUNCATED (-5008)

// Value types of a result buffer.
#define RTREAL 5001
#define RTPOINT 5002 // 2D point (z ignored)
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014
#define RTLB 5016
#define RTLE 5017
#define RTDOTE 5018
#define RTNIL 5019
#define RTDXF0 5020 // group code 0 (entity type) in filters and entity lists
#define RTT 5021
#define RTRESBUF 5023

// acedInitGet control bits.
#define RSG_NONULL 0x0001 // Enter is not accepted
#define RSG_NOZERO 0x0002
#define RSG_NONEG 0x0004
#define RSG_NOLIM 0x0008
#define RSG_GETZ 0x0010
#define RSG_DASH 0x0020
#define RSG_2D 0x0040
#define RSG_OTHER 0x0080 // arbitrary text is returned as a keyword

using ads_real = double;
using ads_point = ads_real[3];
using ads_matrix = ads_real[4][4];
// An entity or selection-set name. Only the host interprets its contents.
using ads_name = std::int64_t[2];

struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    std::int64_t rlname[2];
    std::int32_t rlong;
    ads_binary rbinary;
    unsigned char ihandle[8];
};

// One value of a list. Lists are chains through rbnext; a chain built by the
// host (acutBuildList, acutNewRb, acedGetVar strings) is released with acutRelRb.
struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

inline void ads_point_set(const ads_point from, ads_point to) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}
inline void ads_name_set(const ads_name from, ads_name to) {
    to[0] = from[0];
    to[1] = from[1];
}
inline void ads_name_clear(ads_name name) {
    name[0] = 0;
    name[1] = 0;
}
inline bool ads_name_nil(const ads_name name) {
    return name[0] == 0 && name[1] == 0;
}
inline bool ads_name_equal(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}
