// Result-buffer lists and the small acut* utilities.
#include "acutads.h"

#include "resbuf_util.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace cadhost {

RbValueKind rbValueKind(int t) {
    switch (t) {
    case RTSTR:
    case RTDXF0:
        return RbValueKind::String;
    case RTREAL:
    case RTANG:
    case RTORINT:
        return RbValueKind::Real;
    case RTSHORT:
        return RbValueKind::Short;
    case RTLONG:
        return RbValueKind::Long;
    case RTPOINT:
    case RT3DPOINT:
        return RbValueKind::Point;
    case RTENAME:
    case RTPICKS:
        return RbValueKind::Name;
    case RTLB:
    case RTLE:
    case RTDOTE:
    case RTNIL:
    case RTT:
    case RTVOID:
        return RbValueKind::None;
    default:
        break;
    }
    auto in = [t](int lo, int hi) { return t >= lo && t <= hi; };
    if (t == -1 || t == -2 || in(330, 369))
        return RbValueKind::Name;
    if (t == -4 || in(1, 9) || in(100, 109) || in(300, 309) || in(410, 419) || in(999, 1009))
        return RbValueKind::String;
    if (in(10, 37) || in(110, 112) || in(1010, 1013))
        return RbValueKind::Point;
    if (in(38, 59) || in(140, 149) || in(1040, 1042))
        return RbValueKind::Real;
    if (in(60, 79) || in(170, 179) || in(270, 289) || in(370, 389))
        return RbValueKind::Short;
    if (in(90, 99) || t == 1071)
        return RbValueKind::Long;
    return RbValueKind::Unknown;
}

resbuf* copyResbufChain(const resbuf* rb) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (; rb; rb = rb->rbnext) {
        resbuf* c = acutNewRb(rb->restype);
        if (!c) {
            acutRelRb(head);
            return nullptr;
        }
        if (rbValueKind(rb->restype) == RbValueKind::String)
            c->resval.rstring = rb->resval.rstring ? acutNewString(rb->resval.rstring) : nullptr;
        else
            c->resval = rb->resval;
        *tail = c;
        tail = &c->rbnext;
    }
    return head;
}

} // namespace cadhost

using cadhost::RbValueKind;

resbuf* acutNewRb(int type) {
    auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (!rb)
        return nullptr;
    rb->restype = static_cast<short>(type);
    return rb;
}

char* acutNewString(const char* text) {
    if (!text)
        text = "";
    std::size_t n = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(n));
    if (copy)
        std::memcpy(copy, text, n);
    return copy;
}

void acutDelString(char*& text) {
    std::free(text);
    text = nullptr;
}

int acutRelRb(resbuf* rb) {
    while (rb) {
        resbuf* next = rb->rbnext;
        if (cadhost::rbValueKind(rb->restype) == RbValueKind::String)
            std::free(rb->resval.rstring);
        std::free(rb);
        rb = next;
    }
    return RTNORM;
}

resbuf* acutBuildList(int type, ...) {
    va_list args;
    va_start(args, type);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (int t = type; t != 0; t = va_arg(args, int)) {
        RbValueKind kind = cadhost::rbValueKind(t);
        if (kind == RbValueKind::Unknown) {
            acutRelRb(head);
            va_end(args);
            return nullptr;
        }
        resbuf* rb = acutNewRb(t);
        if (!rb) {
            acutRelRb(head);
            va_end(args);
            return nullptr;
        }
        switch (kind) {
        case RbValueKind::String:
            rb->resval.rstring = acutNewString(va_arg(args, const char*));
            break;
        case RbValueKind::Real:
            rb->resval.rreal = va_arg(args, double);
            break;
        case RbValueKind::Short:
            rb->resval.rint = static_cast<short>(va_arg(args, int));
            break;
        case RbValueKind::Long:
            rb->resval.rlong = static_cast<std::int32_t>(va_arg(args, int));
            break;
        case RbValueKind::Point: {
            const ads_real* p = va_arg(args, const ads_real*);
            if (p) {
                rb->resval.rpoint[0] = p[0];
                rb->resval.rpoint[1] = p[1];
                rb->resval.rpoint[2] = t == RTPOINT ? 0.0 : p[2];
            }
            break;
        }
        case RbValueKind::Name: {
            const std::int64_t* n = va_arg(args, const std::int64_t*);
            if (n) {
                rb->resval.rlname[0] = n[0];
                rb->resval.rlname[1] = n[1];
            }
            break;
        }
        case RbValueKind::None:
        case RbValueKind::Unknown:
            break;
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    va_end(args);
    return head;
}

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// One alternative of a wildcard pattern against the whole text.
bool matchOne(const char* t, const char* p) {
    while (*p) {
        char pc = *p;
        if (pc == '*') {
            while (*p == '*')
                ++p;
            if (!*p)
                return true;
            for (const char* s = t; *s; ++s)
                if (matchOne(s, p))
                    return true;
            return matchOne(t + std::strlen(t), p);
        }
        if (!*t)
            return false;
        char tc = *t;
        switch (pc) {
        case '?':
            break;
        case '#':
            if (!std::isdigit(static_cast<unsigned char>(tc)))
                return false;
            break;
        case '@':
            if (!std::isalpha(static_cast<unsigned char>(tc)))
                return false;
            break;
        case '.':
            if (std::isalnum(static_cast<unsigned char>(tc)))
                return false;
            break;
        case '[': {
            const char* q = p + 1;
            bool negate = *q == '~';
            if (negate)
                ++q;
            bool hit = false;
            const char* start = q;
            while (*q && (*q != ']' || q == start)) {
                if (q[1] == '-' && q[2] && q[2] != ']') {
                    if (upper(tc) >= upper(q[0]) && upper(tc) <= upper(q[2]))
                        hit = true;
                    q += 3;
                } else {
                    if (upper(tc) == upper(*q))
                        hit = true;
                    ++q;
                }
            }
            if (*q != ']')
                return false; // unterminated class
            if (hit == negate)
                return false;
            p = q;
            break;
        }
        case '`':
            if (p[1]) {
                ++p;
                if (upper(tc) != upper(*p))
                    return false;
            } else if (tc != '`') {
                return false;
            }
            break;
        default:
            if (upper(tc) != upper(pc))
                return false;
        }
        ++t;
        ++p;
    }
    return *t == '\0';
}

} // namespace

int acutWcMatch(const char* text, const char* pattern) {
    if (!text || !pattern)
        return RTERROR;
    // Split at unescaped commas outside classes.
    std::vector<std::string> alternatives(1);
    bool inClass = false;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '`' && p[1]) {
            alternatives.back() += *p;
            alternatives.back() += *++p;
            continue;
        }
        if (*p == '[')
            inClass = true;
        else if (*p == ']')
            inClass = false;
        if (*p == ',' && !inClass) {
            alternatives.emplace_back();
            continue;
        }
        alternatives.back() += *p;
    }
    for (const std::string& alt : alternatives) {
        bool negate = !alt.empty() && alt[0] == '~';
        bool hit = matchOne(text, alt.c_str() + (negate ? 1 : 0));
        if (hit != negate)
            return RTNORM;
    }
    return RTERROR;
}

ads_real acutDistance(const ads_point p1, const ads_point p2) {
    double dx = p2[0] - p1[0], dy = p2[1] - p1[1], dz = p2[2] - p1[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void acutPolar(const ads_point from, ads_real angle, ads_real distance, ads_point result) {
    result[0] = from[0] + distance * std::cos(angle);
    result[1] = from[1] + distance * std::sin(angle);
    result[2] = from[2];
}
