#pragma once
// The loop every acedGet* call runs: print the prompt, take input from the
// broker (waiting through the user interface when there is none), run
// transparent commands, and re-prompt on input that does not fit.

#include "cadhost/input_broker.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cadhost {

struct PromptVerdict {
    enum class Kind { Accept, Reject } kind = Kind::Reject;
    std::string message; // printed on Reject (starts with "\n")
    static PromptVerdict accept() { return {Kind::Accept, {}}; }
    static PromptVerdict reject(std::string m) { return {Kind::Reject, std::move(m)}; }
};

struct PromptSetup {
    InputRequest request;
    int initFlags = 0;                 // RSG_* of the last acedInitGet
    std::vector<std::string> keywords; // of the last acedInitGet
    std::string rejectMessage;         // for text that is no value, keyword or command
};

// Runs the prompt. accept is called for Text (not a keyword or a transparent
// command), Point and Entity items. Returns RTNORM, RTNONE, RTCAN or RTKWORD.
int runPrompt(const PromptSetup& setup,
              const std::function<PromptVerdict(const InputItem&)>& accept);

// The control bits and keywords of the last acedInitGet, cleared by taking them.
struct InitGet {
    int flags = 0;
    std::vector<std::string> keywords;
};
InitGet takeInitGet();
void setInitGet(int flags, std::vector<std::string> keywords);
void setLastKeyword(std::string keyword);
const std::string& lastKeyword();

// The keyword text matches (whole, or its capital-letter abbreviation, or a
// prefix at least as long as that abbreviation); the keyword or nothing.
std::optional<std::string> matchKeyword(const std::string& text,
                                        const std::vector<std::string>& keywords);

// "x,y", "x,y,z", "@dx,dy[,dz]" relative to base (or LASTPOINT), "(x y z)".
std::optional<AcGePoint3d> parsePoint(const std::string& text,
                                      const std::optional<AcGePoint3d>& base);

} // namespace cadhost
