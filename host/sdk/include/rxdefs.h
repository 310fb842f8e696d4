#pragma once
// Module entry points, host message codes and the API-version handshake.

#include <cstdint>

namespace Adesk {
using Int8 = std::int8_t;
using Int16 = std::int16_t;
using Int32 = std::int32_t;
using Int64 = std::int64_t;
using UInt8 = std::uint8_t;
using UInt16 = std::uint16_t;
using UInt32 = std::uint32_t;
using UInt64 = std::uint64_t;
using Boolean = bool;
inline constexpr bool kFalse = false;
inline constexpr bool kTrue = true;
} // namespace Adesk

namespace AcRx {
// Messages the host sends to a module's acrxEntryPoint.
enum AppMsgCode : int {
    kNullMsg = 0,
    kInitAppMsg = 1,   // the module was loaded; the packet identifies it to the linker
    kUnloadAppMsg = 2, // the module is about to be unloaded
    kLoadDwgMsg = 3,   // a drawing was opened or created (packet: its AcApDocument*)
    kUnloadDwgMsg = 4, // a drawing is about to be closed (packet: its AcApDocument*)
    kInvkSubrMsg = 5,  // call one of the module's LISP functions (acedGetFunCode)
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
};
enum AppRetCode : int { kRetOK = 0, kRetError = 3 };
} // namespace AcRx

// The API version a module of this host generation answers on the host's
// first acrxGetApiVersion query.
inline constexpr int kAcrxApiVersion = 0x100000;

// The handshake answer for later queries: derived from the host's argument and
// constant data. The host accepts either kAcrxApiVersion or this value.
extern "C" int acrxApiHandshake(int hostValue);

// Functions every module exports with C linkage (use ACRX_EXPORT on the definitions):
//   ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);
//   ACRX_EXPORT int acrxGetApiVersion(int hostValue);
#define ACRX_EXPORT extern "C" __attribute__((visibility("default")))

using AcRxFunctionPtr = void (*)();
