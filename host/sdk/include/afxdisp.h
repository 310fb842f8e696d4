#pragma once
// The host's automation model as modules call it: objects behind one dispatch
// interface, reached by dispatch id with variant arguments (get a property,
// put one, call a method), and the automation-error exception with its
// report. The host application's object comes from acedGetAcadWinApp().
//
// Objects are shared: a variant or a driver holding one keeps it alive. An
// object stands for a place in the host's menu groups (a group by name, a pop
// menu or item by position); when that place is gone, calls on it fail with
// an automation error rather than touch something else.

#include "acwin.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using DISPID = long;
using SCODE = std::int32_t;
using WORD = std::uint16_t;
using VARTYPE = std::uint16_t;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_INT = 22;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;

inline constexpr DISPID DISPID_VALUE = 0;

// Automation error codes (the platform's values).
inline constexpr SCODE DISP_E_MEMBERNOTFOUND = SCODE(0x80020003u);
inline constexpr SCODE DISP_E_TYPEMISMATCH = SCODE(0x80020005u);
inline constexpr SCODE DISP_E_BADPARAMCOUNT = SCODE(0x8002000Eu);
inline constexpr SCODE DISP_E_BADINDEX = SCODE(0x8002000Bu);
inline constexpr SCODE E_FAIL = SCODE(0x80004005u);

class IDispatch;
using LPDISPATCH = std::shared_ptr<IDispatch>;

// A variant: empty, a 16- or 32-bit integer (VT_I2, VT_I4, VT_INT), a
// boolean, a string or an object.
class COleVariant {
public:
    VARTYPE vt = VT_EMPTY;
    long lVal = 0;
    bool boolVal = false;
    std::string bstrVal;
    LPDISPATCH pdispVal;

    COleVariant() = default;
    COleVariant(long value, VARTYPE type = VT_I4) : vt(type), lVal(value) {}
    COleVariant(int value, VARTYPE type = VT_I4) : vt(type), lVal(value) {}
    COleVariant(bool value) : vt(VT_BOOL), boolVal(value) {}
    COleVariant(const char* text) : vt(VT_BSTR), bstrVal(text ? text : "") {}
    COleVariant(std::string text) : vt(VT_BSTR), bstrVal(std::move(text)) {}
    COleVariant(LPDISPATCH object) : vt(VT_DISPATCH), pdispVal(std::move(object)) {}

    bool isInteger() const { return vt == VT_I2 || vt == VT_I4 || vt == VT_INT; }
};

// What every automation object answers. Failures throw COleDispatchException.
class IDispatch {
public:
    virtual ~IDispatch();
    // flags: DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
    // (a put takes its value as the only argument).
    virtual COleVariant Invoke(DISPID id, WORD flags, const std::vector<COleVariant>& args) = 0;
};

// The automation error: code and one-line description. ReportError shows the
// description in the framework's message box (the standard report).
class COleDispatchException {
public:
    COleDispatchException(SCODE code, std::string description);
    virtual ~COleDispatchException();
    SCODE m_scError;
    std::string m_strDescription;
    int ReportError(UINT type = MB_OK, UINT helpId = 0) const;
    void Delete() {} // thrown by value here: nothing to free
};

// The caller's side: one object, property get and put and method calls.
class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH object) : m_lpDispatch(std::move(object)) {}

    void AttachDispatch(LPDISPATCH object) { m_lpDispatch = std::move(object); }
    void ReleaseDispatch() { m_lpDispatch.reset(); }
    LPDISPATCH DetachDispatch() { return std::move(m_lpDispatch); }

    COleVariant GetProperty(DISPID id) const;
    void SetProperty(DISPID id, const COleVariant& value) const;
    COleVariant InvokeMethod(DISPID id, std::initializer_list<COleVariant> args = {}) const;

    // Typed reads; a result of another type is an automation error.
    LPDISPATCH GetObject(DISPID id) const;
    long GetLong(DISPID id) const;
    std::string GetString(DISPID id) const;

    LPDISPATCH m_lpDispatch;
};

// The host application as the framework knows it; its automation object.
class CWinApp {
public:
    virtual ~CWinApp();
    // The application's automation object (never null). addRef is kept for
    // the platform's signature: the shared pointer holds its own reference.
    virtual LPDISPATCH GetIDispatch(bool addRef) = 0;
};

CWinApp* acedGetAcadWinApp();
