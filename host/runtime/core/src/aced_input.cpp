// acedGetPoint, acedEntSel, acedGetString and the other prompts.
#include "acedads.h"

#include "cadhost/command_log.h"
#include "cadhost/runtime.h"
#include "cadhost/selection.h"
#include "cadhost/system_variables.h"
#include "prompt_engine.h"
#include "text_util.h"

#include <cstring>
#include <sstream>

using namespace cadhost;

namespace {

constexpr std::size_t kPlatformBuffer = 133; // 132 characters and the zero

PromptSetup makeSpec(InputRequest::Kind kind, const char* prompt, std::string rejectMessage) {
    initializeRuntime();
    InitGet init = takeInitGet();
    PromptSetup setup;
    setup.request.kind = kind;
    setup.request.prompt = prompt ? prompt : "";
    setup.request.keywords = init.keywords;
    setup.initFlags = init.flags;
    setup.keywords = std::move(init.keywords);
    setup.rejectMessage = std::move(rejectMessage);
    return setup;
}

int copyOut(const std::string& text, char* result, std::size_t size) {
    if (!result || size == 0)
        return RTERROR;
    std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(result, text.data(), n);
    result[n] = '\0';
    return n < text.size() ? RTINPUTTRUNCATED : RTNORM;
}

std::optional<AcGePoint3d> basePointOf(const ads_real* base) {
    if (!base)
        return std::nullopt;
    return AcGePoint3d(base[0], base[1], base[2]);
}

void setResultPoint(const AcGePoint3d& p, ads_point result) {
    result[0] = p.x;
    result[1] = p.y;
    result[2] = p.z;
    SystemVariables::instance().setInternal("LASTPOINT", p);
}

int getPoint(InputRequest::Kind kind, const ads_point base, const char* prompt, ads_point result) {
    PromptSetup setup = makeSpec(kind, prompt, "\nInvalid point.");
    if (!setup.keywords.empty())
        setup.rejectMessage = "\nPoint or option keyword required.";
    setup.request.basePoint = basePointOf(base);
    AcGePoint3d answer;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        if (item.kind == InputItem::Kind::Point || item.kind == InputItem::Kind::Entity) {
            answer = item.point;
            return PromptVerdict::accept();
        }
        if (auto p = parsePoint(item.text, setup.request.basePoint)) {
            answer = *p;
            return PromptVerdict::accept();
        }
        return PromptVerdict::reject({});
    });
    if (rc == RTNORM && result)
        setResultPoint(answer, result);
    return rc;
}

// The acedInitGet bits that restrict numbers.
PromptVerdict checkNumber(double value, int flags) {
    if ((flags & RSG_NOZERO) && value == 0)
        return PromptVerdict::reject("\nValue must be nonzero.");
    if ((flags & RSG_NONEG) && value < 0)
        return PromptVerdict::reject("\nValue must be positive.");
    return PromptVerdict::accept();
}

} // namespace

int acedInitGet(int flags, const char* keywords) {
    std::vector<std::string> list;
    if (keywords) {
        std::istringstream in(keywords);
        std::string k;
        while (in >> k)
            if (k != "_")
                list.push_back(k);
    }
    setInitGet(flags, std::move(list));
    return RTNORM;
}

int acedGetInput(char* result) {
    return acedGetInput(result, kPlatformBuffer);
}

int acedGetInput(char* result, std::size_t size) {
    return copyOut(lastKeyword(), result, size);
}

int acedGetPoint(const ads_point basePoint, const char* prompt, ads_point result) {
    return getPoint(InputRequest::Kind::Point, basePoint, prompt, result);
}

int acedGetCorner(const ads_point basePoint, const char* prompt, ads_point result) {
    if (!basePoint)
        return RTERROR;
    return getPoint(InputRequest::Kind::Corner, basePoint, prompt, result);
}

int acedEntSel(const char* prompt, ads_name entity, ads_point pickPoint) {
    PromptSetup setup = makeSpec(InputRequest::Kind::Entity,
                                 prompt ? prompt : "\nSelect object: ", "\nInvalid selection.");
    AcDbObjectId picked;
    AcGePoint3d at;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        std::optional<AcGePoint3d> point;
        if (item.kind == InputItem::Kind::Entity && item.entity.isValid() &&
            !item.entity.isErased()) {
            picked = item.entity;
            at = item.point;
            return PromptVerdict::accept();
        }
        if (item.kind == InputItem::Kind::Point || item.kind == InputItem::Kind::Entity)
            point = item.point;
        else
            point = parsePoint(item.text, std::nullopt);
        if (!point)
            return PromptVerdict::reject({});
        if (auto id = EntityPicker::current().entityAt(*point)) {
            picked = *id;
            at = *point;
            return PromptVerdict::accept();
        }
        return PromptVerdict::reject("\nNothing selected.");
    });
    if (rc != RTNORM)
        return rc;
    if (entity) {
        entity[0] = EntityNames::instance().nameOf(picked);
        entity[1] = 0;
    }
    if (pickPoint) {
        pickPoint[0] = at.x;
        pickPoint[1] = at.y;
        pickPoint[2] = at.z;
    }
    return RTNORM;
}

int acedGetString(int spacesAllowed, const char* prompt, char* result) {
    return acedGetString(spacesAllowed, prompt, result, kPlatformBuffer);
}

int acedGetString(int spacesAllowed, const char* prompt, char* result, std::size_t size) {
    if (!result || size == 0)
        return RTERROR;
    PromptSetup setup = makeSpec(InputRequest::Kind::String, prompt, "\nInvalid input.");
    setup.request.blanksAllowed = spacesAllowed != 0;
    setup.keywords.clear(); // a string prompt takes any text
    std::string answer;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        if (item.kind != InputItem::Kind::Text)
            return PromptVerdict::reject("\nInvalid input.");
        answer = item.text;
        return PromptVerdict::accept();
    });
    if (rc == RTNONE)
        rc = RTNORM; // Enter is an empty answer
    if (rc != RTNORM) {
        result[0] = '\0';
        return rc;
    }
    return copyOut(answer, result, size);
}

int acedGetInt(const char* prompt, int* result) {
    PromptSetup setup =
        makeSpec(InputRequest::Kind::Integer, prompt, "\nRequires an integer value.");
    long long value = 0;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        if (item.kind != InputItem::Kind::Text || !parseInteger(item.text, value))
            return PromptVerdict::reject({});
        if (value < -32768 || value > 32767)
            return PromptVerdict::reject("\nRequires an integer between -32768 and 32767.");
        return checkNumber(static_cast<double>(value), setup.initFlags);
    });
    if (rc == RTNORM && result)
        *result = static_cast<int>(value);
    return rc;
}

int acedGetReal(const char* prompt, ads_real* result) {
    PromptSetup setup = makeSpec(InputRequest::Kind::Real, prompt, "\nRequires numeric value.");
    double value = 0;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        if (item.kind != InputItem::Kind::Text || !parseReal(item.text, value))
            return PromptVerdict::reject({});
        return checkNumber(value, setup.initFlags);
    });
    if (rc == RTNORM && result)
        *result = value;
    return rc;
}

int acedGetDist(const ads_point basePoint, const char* prompt, ads_real* result) {
    PromptSetup setup =
        makeSpec(InputRequest::Kind::Real, prompt, "\nRequires numeric distance or two points.");
    setup.request.basePoint = basePointOf(basePoint);
    double value = 0;
    int rc = runPrompt(setup, [&](const InputItem& item) {
        std::optional<AcGePoint3d> p;
        if (item.kind == InputItem::Kind::Text) {
            if (parseReal(item.text, value))
                return checkNumber(value, setup.initFlags);
            p = parsePoint(item.text, setup.request.basePoint);
        } else {
            p = item.point;
        }
        if (!p)
            return PromptVerdict::reject({});
        AcGePoint3d from;
        if (setup.request.basePoint) {
            from = *setup.request.basePoint;
        } else {
            ads_point first = {p->x, p->y, p->z}, second;
            if (acedGetPoint(first, "\nSpecify second point: ", second) != RTNORM)
                return PromptVerdict::reject({});
            from = *p;
            p = AcGePoint3d(second[0], second[1], second[2]);
        }
        value = from.distanceTo(*p);
        return checkNumber(value, setup.initFlags);
    });
    if (rc == RTNORM && result)
        *result = value;
    return rc;
}

int acedGetKword(const char* prompt, char* result) {
    return acedGetKword(prompt, result, kPlatformBuffer);
}

int acedGetKword(const char* prompt, char* result, std::size_t size) {
    PromptSetup setup = makeSpec(InputRequest::Kind::Keyword, prompt, "\nInvalid option keyword.");
    int rc = runPrompt(setup, [&](const InputItem&) { return PromptVerdict::reject({}); });
    if (rc == RTKWORD)
        return copyOut(lastKeyword(), result, size);
    if (result && size)
        result[0] = '\0';
    return rc;
}
