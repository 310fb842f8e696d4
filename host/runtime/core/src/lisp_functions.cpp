// LISP functions of modules: acedDefun and the calls of kInvkSubrMsg.
#include "acedads.h"
#include "acutads.h"

#include "cadhost/module_loader.h"
#include "resbuf_util.h"
#include "text_util.h"

#include <algorithm>

namespace cadhost {

namespace {
constexpr int kFunctionResultGiven = 1; // what an acedRegFunc function returns on success
}

LispFunctions& LispFunctions::instance() {
    static LispFunctions functions;
    return functions;
}

bool LispFunctions::define(const std::string& name, int functionCode, const ModuleRecord* module) {
    if (name.empty() || !module)
        return false;
    std::erase_if(m_functions, [&](const Function& f) { return equalsNoCase(f.name, name); });
    m_functions.push_back(Function{name, functionCode, module});
    return true;
}

bool LispFunctions::undefine(const std::string& name, int functionCode) {
    auto before = m_functions.size();
    std::erase_if(m_functions, [&](const Function& f) {
        return equalsNoCase(f.name, name) && f.code == functionCode;
    });
    return m_functions.size() != before;
}

bool LispFunctions::registerFunction(const ModuleRecord* module, int functionCode,
                                     int (*function)()) {
    if (!module)
        return false;
    if (function)
        m_direct[{module, functionCode}] = function;
    else
        m_direct.erase({module, functionCode});
    return true;
}

bool LispFunctions::isDefined(const std::string& name) const {
    return std::any_of(m_functions.begin(), m_functions.end(),
                       [&](const Function& f) { return equalsNoCase(f.name, name); });
}

std::vector<std::string> LispFunctions::names() const {
    std::vector<std::string> out;
    for (const Function& f : m_functions)
        out.push_back(f.name);
    return out;
}

LispFunctions::CallResult LispFunctions::invoke(const std::string& name, const resbuf* args) {
    CallResult result;
    auto it = std::find_if(m_functions.begin(), m_functions.end(),
                           [&](const Function& f) { return equalsNoCase(f.name, name); });
    if (it == m_functions.end())
        return result;
    Function function = *it;
    m_calls.push_back(Call{function.code, copyResbufChain(args), nullptr, false});
    bool ran = false;
    auto direct = m_direct.find({function.module, function.code});
    if (direct != m_direct.end()) {
        int rc = direct->second();
        ran = rc == kFunctionResultGiven || rc == RTNORM;
    } else {
        auto* module = const_cast<ModuleRecord*>(function.module);
        ran = ModuleLoader::instance().sendMessage(*module, AcRx::kInvkSubrMsg, nullptr) ==
              AcRx::kRetOK;
    }
    Call call = m_calls.back();
    m_calls.pop_back();
    acutRelRb(call.args);
    if (ran || call.hasResult) {
        result.status = RTNORM;
        result.value = call.result;
    } else {
        acutRelRb(call.result);
    }
    return result;
}

int LispFunctions::currentFunctionCode() const {
    return m_calls.empty() ? RTERROR : m_calls.back().code;
}

resbuf* LispFunctions::currentArgs() const {
    return m_calls.empty() ? nullptr : copyResbufChain(m_calls.back().args);
}

int LispFunctions::setResult(resbuf* value) {
    if (m_calls.empty()) {
        acutRelRb(value);
        return RTERROR;
    }
    Call& call = m_calls.back();
    acutRelRb(call.result);
    call.result = value;
    call.hasResult = true;
    return RTNORM;
}

void LispFunctions::forgetModule(const ModuleRecord* module) {
    std::erase_if(m_functions, [module](const Function& f) { return f.module == module; });
    std::erase_if(m_direct, [module](const auto& e) { return e.first.first == module; });
}

void LispFunctions::clear() {
    m_functions.clear();
    m_direct.clear();
}

} // namespace cadhost

using cadhost::LispFunctions;
using cadhost::ModuleLoader;

int acedDefun(const char* name, int functionCode) {
    if (!name)
        return RTERROR;
    return LispFunctions::instance().define(name, functionCode,
                                            ModuleLoader::instance().currentModule())
               ? RTNORM
               : RTERROR;
}

int acedUndef(const char* name, int functionCode) {
    if (!name)
        return RTERROR;
    return LispFunctions::instance().undefine(name, functionCode) ? RTNORM : RTERROR;
}

int acedGetFunCode() {
    return LispFunctions::instance().currentFunctionCode();
}

resbuf* acedGetArgs() {
    return LispFunctions::instance().currentArgs();
}

int acedRegFunc(int (*function)(), int functionCode) {
    return LispFunctions::instance().registerFunction(ModuleLoader::instance().currentModule(),
                                                      functionCode, function)
               ? RTNORM
               : RTERROR;
}

int acedRetVal(const resbuf* value) {
    return LispFunctions::instance().setResult(cadhost::copyResbufChain(value));
}

int acedRetNil() {
    return LispFunctions::instance().setResult(nullptr);
}

int acedRetT() {
    return LispFunctions::instance().setResult(acutNewRb(RTT));
}

int acedRetVoid() {
    return LispFunctions::instance().setResult(acutNewRb(RTVOID));
}

int acedRetInt(int value) {
    resbuf* rb = acutNewRb(RTSHORT);
    if (rb)
        rb->resval.rint = static_cast<short>(value);
    return LispFunctions::instance().setResult(rb);
}

int acedRetReal(ads_real value) {
    resbuf* rb = acutNewRb(RTREAL);
    if (rb)
        rb->resval.rreal = value;
    return LispFunctions::instance().setResult(rb);
}

int acedRetStr(const char* text) {
    resbuf* rb = acutNewRb(RTSTR);
    if (rb)
        rb->resval.rstring = acutNewString(text);
    return LispFunctions::instance().setResult(rb);
}

int acedRetPoint(const ads_point point) {
    resbuf* rb = acutNewRb(RT3DPOINT);
    if (rb && point)
        for (int i = 0; i < 3; ++i)
            rb->resval.rpoint[i] = point[i];
    return LispFunctions::instance().setResult(rb);
}
