#pragma once
// The host's LISP: the subset that menu LISP files and command-line
// expressions use (defun, setq, while, if, progn, comparisons, arithmetic,
// strings, menucmd, command, princ, getvar, setvar). Dynamic scoping as the original
// language has it. Every evaluation runs under a step budget and a nesting
// limit, so a runaway loop or recursion ends with a one-line error instead of
// hanging or overflowing the stack.

#include "cadhost/command_processor.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::lisp {

struct Value {
    enum class Type { Nil, True, Int, Real, String, Symbol, List };
    Type type = Type::Nil;
    std::int32_t integer = 0;
    double real = 0.0;
    std::string text;         // a string's contents or a symbol's upper-case name
    std::vector<Value> items; // a list's elements (never empty: an empty list is nil)

    static Value nil() { return {}; }
    static Value t() { return of(Type::True); }
    static Value ofInt(std::int32_t v) {
        Value r = of(Type::Int);
        r.integer = v;
        return r;
    }
    static Value ofReal(double v) {
        Value r = of(Type::Real);
        r.real = v;
        return r;
    }
    static Value ofString(std::string s) {
        Value r = of(Type::String);
        r.text = std::move(s);
        return r;
    }
    static Value of(Type type) {
        Value r;
        r.type = type;
        return r;
    }
    static Value symbol(std::string name);
    static Value list(std::vector<Value> items);

    bool isNil() const { return type == Type::Nil; }
    bool isNumber() const { return type == Type::Int || type == Type::Real; }
    double number() const { return type == Type::Int ? integer : real; }
};

// The printed form as the command line shows a result: strings quoted,
// symbols in upper case, nil as "nil".
std::string print(const Value& value);

struct ReadResult {
    std::vector<Value> forms;
    std::string error; // empty when the whole text was read
    bool ok() const { return error.empty(); }
};
// Reads every expression of the text. Comments start with ';'. Nesting deeper
// than kMaxReadDepth is an error, not a crash.
ReadResult read(std::string_view text);
inline constexpr int kMaxReadDepth = 200;

class Interpreter : public LispEvaluator {
public:
    struct Hooks {
        // "P1.1=?" style requests; the answer string, or nothing for nil.
        std::function<std::optional<std::string>(const std::string&)> menucmd;
        // The arguments of (command ...), each already turned into input text.
        std::function<void(const std::vector<std::string>&)> command;
        // Output of princ.
        std::function<void(std::string_view)> print;
        // (getvar NAME): the value, or nothing for an unknown name (nil).
        std::function<std::optional<Value>(const std::string&)> getvar;
        // (setvar NAME VALUE): why the value was refused, nothing when set.
        std::function<std::optional<std::string>(const std::string&, const Value&)> setvar;
    };

    // Without hooks, command and princ output go nowhere, menucmd and getvar
    // answer nil and setvar refuses.
    Interpreter() = default;

    // The host's interpreter: its hooks queue (command ...) input on the input
    // broker and print through the command-line log; menucmd answers nil until
    // the menu system installs its own.
    static Interpreter& instance();

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    Hooks& hooks() { return m_hooks; }

    // Evaluates every expression of the text; the result is the printed value
    // of the last one ("" for the quiet value of (princ)).
    Result evaluate(const std::string& expression) override;
    // Loads a LISP file (a menu's .mnl) as evaluate does its text.
    Result loadFile(const std::string& path);

    // Bounds of one evaluate(): steps and nesting of calls.
    void setStepLimit(std::uint64_t steps) { m_stepLimit = steps; }
    static constexpr std::uint64_t kDefaultStepLimit = 500'000;
    static constexpr int kMaxEvalDepth = 400;

    std::optional<Value> global(const std::string& name) const;
    bool isFunction(const std::string& name) const;
    void reset(); // forgets variables and defined functions (tests)

    struct Function {
        std::vector<std::string> params;
        std::vector<std::string> locals;
        std::vector<Value> body;
    };

private:
    friend class Evaluator;
    Hooks m_hooks;
    std::map<std::string, Value> m_globals;
    std::map<std::string, Function> m_functions;
    std::uint64_t m_stepLimit = kDefaultStepLimit;
};

} // namespace cadhost::lisp
