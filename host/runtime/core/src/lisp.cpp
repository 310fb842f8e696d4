// The host's LISP subset: reader, printer and evaluator.
#include "cadhost/lisp.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace cadhost::lisp {

namespace {

struct LispError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string quoteString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

std::string printReal(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-1.#INF" : "1.#INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    std::string s = buf;
    if (s.find_first_of(".eE") == std::string::npos)
        s += ".0";
    return s;
}

// ---- reader

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    ReadResult readAll() {
        ReadResult result;
        try {
            for (;;) {
                skipBlanks();
                if (m_pos >= m_text.size())
                    break;
                if (m_text[m_pos] == ')')
                    throw LispError("extra right paren on input");
                result.forms.push_back(readForm(0));
            }
        } catch (const LispError& e) {
            result.error = e.what();
        }
        return result;
    }

private:
    void skipBlanks() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == ';') {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++m_pos;
            } else {
                break;
            }
        }
    }

    Value readForm(int depth) {
        if (depth > kMaxReadDepth)
            throw LispError("expression nested too deeply");
        skipBlanks();
        if (m_pos >= m_text.size())
            throw LispError("malformed list on input");
        const char c = m_text[m_pos];
        if (c == '(') {
            ++m_pos;
            std::vector<Value> items;
            for (;;) {
                skipBlanks();
                if (m_pos >= m_text.size())
                    throw LispError("malformed list on input");
                if (m_text[m_pos] == ')') {
                    ++m_pos;
                    return Value::list(std::move(items));
                }
                items.push_back(readForm(depth + 1));
            }
        }
        if (c == '\'') {
            ++m_pos;
            skipBlanks();
            if (m_pos < m_text.size() && m_text[m_pos] == ')')
                throw LispError("malformed list on input"); // a quote with nothing to quote
            return Value::list({Value::symbol("QUOTE"), readForm(depth + 1)});
        }
        if (c == '"')
            return readString();
        return readAtom();
    }

    Value readString() {
        ++m_pos; // opening quote
        std::string s;
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos++];
            if (c == '"')
                return Value::ofString(std::move(s));
            if (c == '\\' && m_pos < m_text.size()) {
                c = m_text[m_pos++];
                switch (c) {
                case 'n':
                    s += '\n';
                    break;
                case 't':
                    s += '\t';
                    break;
                case 'r':
                    s += '\r';
                    break;
                case 'e':
                    s += '\x1b';
                    break;
                default:
                    s += c;
                }
                continue;
            }
            s += c;
        }
        throw LispError("malformed string on input");
    }

    Value readAtom() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ')' || c == '"' ||
                c == ';' || c == '\'')
                break;
            ++m_pos;
        }
        const std::string atom(m_text.substr(start, m_pos - start));
        if (auto number = parseNumber(atom))
            return *number;
        return Value::symbol(atom);
    }

    static std::optional<Value> parseNumber(const std::string& atom) {
        std::size_t i = 0;
        if (i < atom.size() && (atom[i] == '+' || atom[i] == '-'))
            ++i;
        bool digits = false, dot = false, exponent = false;
        for (; i < atom.size(); ++i) {
            const char c = atom[i];
            if (std::isdigit(static_cast<unsigned char>(c))) {
                digits = true;
            } else if (c == '.' && !dot && !exponent) {
                dot = true;
            } else if ((c == 'e' || c == 'E') && digits && !exponent && i + 1 < atom.size()) {
                exponent = true;
                if (atom[i + 1] == '+' || atom[i + 1] == '-')
                    ++i;
            } else {
                return std::nullopt;
            }
        }
        if (!digits)
            return std::nullopt;
        if (!dot && !exponent) {
            // Integers beyond 32 bits become reals, as the original language reads them.
            errno = 0;
            const long long v = std::strtoll(atom.c_str(), nullptr, 10);
            if (errno == 0 && v >= INT32_MIN && v <= INT32_MAX)
                return Value::ofInt(std::int32_t(v));
        }
        return Value::ofReal(std::strtod(atom.c_str(), nullptr));
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

Value Value::symbol(std::string name) {
    std::string u = upper(name);
    if (u == "NIL")
        return nil();
    if (u == "T")
        return t();
    Value v = of(Type::Symbol);
    v.text = std::move(u);
    return v;
}

Value Value::list(std::vector<Value> items) {
    if (items.empty())
        return nil();
    Value v = of(Type::List);
    v.items = std::move(items);
    return v;
}

std::string print(const Value& value) {
    switch (value.type) {
    case Value::Type::Nil:
        return "nil";
    case Value::Type::True:
        return "T";
    case Value::Type::Int:
        return std::to_string(value.integer);
    case Value::Type::Real:
        return printReal(value.real);
    case Value::Type::String:
        return quoteString(value.text);
    case Value::Type::Symbol:
        return value.text;
    case Value::Type::List: {
        std::string out = "(";
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i)
                out += ' ';
            out += print(value.items[i]);
        }
        return out + ")";
    }
    }
    return "nil";
}

ReadResult read(std::string_view text) {
    return Reader(text).readAll();
}

// ---- evaluator

class Evaluator {
public:
    explicit Evaluator(Interpreter& in) : m_in(in) {}

    Value eval(const Value& form, int depth) {
        if (++m_steps > m_in.m_stepLimit)
            throw LispError("evaluation stopped: too many steps (endless loop?)");
        if (depth > Interpreter::kMaxEvalDepth)
            throw LispError("stack overflow");
        switch (form.type) {
        case Value::Type::Symbol: {
            auto it = m_in.m_globals.find(form.text);
            return it == m_in.m_globals.end() ? Value::nil() : it->second;
        }
        case Value::Type::List:
            return evalList(form, depth);
        default:
            return form;
        }
    }

    // The quiet value (princ) returns: the command line prints nothing for it.
    static Value quiet() { return Value::of(Value::Type::Symbol); }

private:
    Value evalList(const Value& form, int depth) {
        const Value& head = form.items.front();
        if (head.type != Value::Type::Symbol)
            throw LispError("bad function: " + print(head));
        const std::string& name = head.text;
        const std::vector<Value>& args = form.items;
        const std::size_t argc = args.size() - 1;

        if (name == "QUOTE") {
            needArgs(name, argc, 1, 1);
            return args[1];
        }
        if (name == "SETQ") {
            if (argc == 0 || argc % 2)
                throw LispError("too few arguments");
            Value last;
            for (std::size_t i = 1; i < args.size(); i += 2) {
                if (args[i].type != Value::Type::Symbol)
                    throw LispError("bad argument type: symbolp " + print(args[i]));
                last = eval(args[i + 1], depth + 1);
                m_in.m_globals[args[i].text] = last;
            }
            return last;
        }
        if (name == "DEFUN")
            return defun(args);
        if (name == "IF") {
            needArgs(name, argc, 2, 3);
            if (!eval(args[1], depth + 1).isNil())
                return eval(args[2], depth + 1);
            return argc == 3 ? eval(args[3], depth + 1) : Value::nil();
        }
        if (name == "WHILE") {
            needArgs(name, argc, 1, SIZE_MAX);
            Value last;
            while (!eval(args[1], depth + 1).isNil())
                for (std::size_t i = 2; i < args.size(); ++i)
                    last = eval(args[i], depth + 1);
            return last;
        }
        if (name == "PROGN") {
            Value last;
            for (std::size_t i = 1; i < args.size(); ++i)
                last = eval(args[i], depth + 1);
            return last;
        }
        if (name == "AND") {
            for (std::size_t i = 1; i < args.size(); ++i)
                if (eval(args[i], depth + 1).isNil())
                    return Value::nil();
            return Value::t();
        }
        if (name == "OR") {
            for (std::size_t i = 1; i < args.size(); ++i)
                if (!eval(args[i], depth + 1).isNil())
                    return Value::t();
            return Value::nil();
        }

        std::vector<Value> values;
        values.reserve(argc);
        for (std::size_t i = 1; i < args.size(); ++i)
            values.push_back(eval(args[i], depth + 1));

        if (auto it = m_in.m_functions.find(name); it != m_in.m_functions.end()) {
            // A copy: the function may redefine itself while it runs.
            const Interpreter::Function function = it->second;
            return call(name, function, values, depth);
        }
        return builtin(name, values);
    }

    Value defun(const std::vector<Value>& args) {
        if (args.size() < 3 || args[1].type != Value::Type::Symbol)
            throw LispError("bad argument type: symbolp " +
                            (args.size() > 1 ? print(args[1]) : std::string("nil")));
        Interpreter::Function f;
        const Value& params = args[2];
        if (params.type != Value::Type::List && !params.isNil())
            throw LispError("bad argument list: " + print(params));
        bool locals = false;
        for (const Value& p : params.items) {
            if (p.type != Value::Type::Symbol)
                throw LispError("bad argument list: " + print(params));
            if (p.text == "/") {
                locals = true;
                continue;
            }
            (locals ? f.locals : f.params).push_back(p.text);
        }
        f.body.assign(args.begin() + 3, args.end());
        m_in.m_functions[args[1].text] = std::move(f);
        return args[1];
    }

    // Parameters and locals are bound dynamically and restored on every exit.
    Value call(const std::string& name, const Interpreter::Function& f,
               const std::vector<Value>& values, int depth) {
        if (values.size() < f.params.size())
            throw LispError("too few arguments");
        if (values.size() > f.params.size())
            throw LispError("too many arguments");
        struct Saved {
            std::string name;
            std::optional<Value> value;
        };
        std::vector<Saved> saved;
        auto bind = [&](const std::string& var, const Value& v) {
            auto it = m_in.m_globals.find(var);
            saved.push_back({var, it == m_in.m_globals.end() ? std::nullopt
                                                             : std::optional<Value>(it->second)});
            m_in.m_globals[var] = v;
        };
        struct Restore {
            Interpreter& in;
            std::vector<Saved>& saved;
            ~Restore() {
                for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
                    if (it->value)
                        in.m_globals[it->name] = *it->value;
                    else
                        in.m_globals.erase(it->name);
                }
            }
        } restore{m_in, saved};
        for (std::size_t i = 0; i < f.params.size(); ++i)
            bind(f.params[i], values[i]);
        for (const std::string& local : f.locals)
            bind(local, Value::nil());
        (void)name;
        Value last;
        for (const Value& form : f.body)
            last = eval(form, depth + 1);
        return last;
    }

    static void needArgs(const std::string&, std::size_t argc, std::size_t min, std::size_t max) {
        if (argc < min)
            throw LispError("too few arguments");
        if (argc > max)
            throw LispError("too many arguments");
    }

    static const Value& number(const Value& v, const char* what = "numberp") {
        if (!v.isNumber())
            throw LispError(std::string("bad argument type: ") + what + ": " + print(v));
        return v;
    }
    static const std::string& string(const Value& v) {
        if (v.type != Value::Type::String)
            throw LispError("bad argument type: stringp " + print(v));
        return v.text;
    }

    // Integer arithmetic wraps at 32 bits, as on the original platform.
    static Value arith(char op, const Value& a, const Value& b) {
        if (a.type == Value::Type::Int && b.type == Value::Type::Int) {
            const std::int64_t x = a.integer, y = b.integer;
            switch (op) {
            case '+':
                return Value::ofInt(std::int32_t(std::uint32_t(x + y)));
            case '-':
                return Value::ofInt(std::int32_t(std::uint32_t(x - y)));
            case '*':
                return Value::ofInt(std::int32_t(std::uint32_t(x * y)));
            default:
                if (y == 0)
                    throw LispError("divide by zero");
                return Value::ofInt(std::int32_t(std::uint32_t(x / y)));
            }
        }
        const double x = a.number(), y = b.number();
        switch (op) {
        case '+':
            return Value::ofReal(x + y);
        case '-':
            return Value::ofReal(x - y);
        case '*':
            return Value::ofReal(x * y);
        default:
            if (y == 0.0)
                throw LispError("divide by zero");
            return Value::ofReal(x / y);
        }
    }

    static int compare(const Value& a, const Value& b) {
        if (a.isNumber() && b.isNumber()) {
            const double x = a.number(), y = b.number();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (a.type == Value::Type::String && b.type == Value::Type::String)
            return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
        throw LispError("bad argument type: " + print(a.isNumber() ? b : a));
    }

    static bool equalValues(const Value& a, const Value& b) {
        if (a.isNumber() && b.isNumber())
            return a.number() == b.number();
        return a.type == b.type && print(a) == print(b);
    }

    static std::string inputText(const Value& v) {
        switch (v.type) {
        case Value::Type::String:
            return v.text;
        case Value::Type::Nil:
            return "";
        case Value::Type::List: {
            // A point: "x,y[,z]".
            std::string out;
            for (const Value& item : v.items) {
                if (!out.empty())
                    out += ',';
                out += item.type == Value::Type::Int ? std::to_string(item.integer)
                                                     : printReal(number(item).number());
            }
            return out;
        }
        default:
            return print(v);
        }
    }

    Value builtin(const std::string& name, const std::vector<Value>& v) {
        const std::size_t n = v.size();
        if (name == "+" || name == "-" || name == "*" || name == "/") {
            if (n == 0)
                return Value::ofInt(0);
            Value acc = number(v[0]);
            if (n == 1 && name == "-")
                return arith('-', Value::ofInt(0), acc);
            for (std::size_t i = 1; i < n; ++i)
                acc = arith(name[0], acc, number(v[i]));
            return acc;
        }
        if (name == "1+" || name == "1-") {
            needArgs(name, n, 1, 1);
            return arith(name[1], number(v[0]), Value::ofInt(1));
        }
        if (name == "<" || name == ">" || name == "<=" || name == ">=") {
            needArgs(name, n, 1, SIZE_MAX);
            for (std::size_t i = 0; i + 1 < n; ++i) {
                const int c = compare(v[i], v[i + 1]);
                const bool ok = name == "<"    ? c < 0
                                : name == ">"  ? c > 0
                                : name == "<=" ? c <= 0
                                               : c >= 0;
                if (!ok)
                    return Value::nil();
            }
            if (n == 1)
                (void)compare(v[0], v[0]);
            return Value::t();
        }
        if (name == "=" || name == "EQUAL" || name == "EQ") {
            needArgs(name, n, 1, SIZE_MAX);
            for (std::size_t i = 0; i + 1 < n; ++i)
                if (!equalValues(v[i], v[i + 1]))
                    return Value::nil();
            return Value::t();
        }
        if (name == "/=") {
            needArgs(name, n, 1, SIZE_MAX);
            for (std::size_t i = 0; i + 1 < n; ++i)
                if (equalValues(v[i], v[i + 1]))
                    return Value::nil();
            return Value::t();
        }
        if (name == "NOT" || name == "NULL") {
            needArgs(name, n, 1, 1);
            return v[0].isNil() ? Value::t() : Value::nil();
        }
        if (name == "STRCAT") {
            std::string out;
            for (const Value& s : v) {
                if (out.size() + string(s).size() > kMaxString)
                    throw LispError("string too long");
                out += s.text;
            }
            // Copying costs steps too, so growing a string in a loop ends in time.
            charge(out.size() / 16);
            return Value::ofString(std::move(out));
        }
        if (name == "STRLEN") {
            std::size_t total = 0;
            for (const Value& s : v)
                total += string(s).size();
            return Value::ofInt(std::int32_t(std::min<std::size_t>(total, INT32_MAX)));
        }
        if (name == "ITOA") {
            needArgs(name, n, 1, 1);
            if (v[0].type != Value::Type::Int)
                throw LispError("bad argument type: fixnump: " + print(v[0]));
            return Value::ofString(std::to_string(v[0].integer));
        }
        if (name == "ATOI") {
            needArgs(name, n, 1, 1);
            const long long x = std::strtoll(string(v[0]).c_str(), nullptr, 10);
            return Value::ofInt(std::int32_t(std::clamp<long long>(x, INT32_MIN, INT32_MAX)));
        }
        if (name == "MENUCMD") {
            needArgs(name, n, 1, 1);
            const std::string& request = string(v[0]);
            if (!m_in.m_hooks.menucmd)
                return Value::nil();
            auto answer = m_in.m_hooks.menucmd(request);
            return answer ? Value::ofString(*answer) : Value::nil();
        }
        if (name == "GETVAR") {
            needArgs(name, n, 1, 1);
            const std::string& variable = string(v[0]);
            if (!m_in.m_hooks.getvar)
                return Value::nil();
            return m_in.m_hooks.getvar(variable).value_or(Value::nil());
        }
        if (name == "SETVAR") {
            needArgs(name, n, 2, 2);
            const std::string& variable = string(v[0]);
            const auto refused = m_in.m_hooks.setvar ? m_in.m_hooks.setvar(variable, v[1])
                                                     : std::optional<std::string>("no variables");
            if (refused)
                throw LispError("variable setting rejected: " + print(v[0]) + " " + print(v[1]) +
                                " (" + *refused + ")");
            return v[1];
        }
        if (name == "COMMAND") {
            std::vector<std::string> input;
            for (const Value& a : v)
                input.push_back(inputText(a));
            if (m_in.m_hooks.command)
                m_in.m_hooks.command(input);
            return Value::nil();
        }
        if (name == "PRINC" || name == "PRIN1" || name == "PRINT") {
            needArgs(name, n, 0, 2);
            if (n == 0)
                return quiet();
            const std::string text =
                name == "PRINC" && v[0].type == Value::Type::String ? v[0].text : print(v[0]);
            if (m_in.m_hooks.print)
                m_in.m_hooks.print(name == "PRINT" ? "\n" + text + " " : text);
            return v[0];
        }
        throw LispError("no function definition: " + name);
    }

    void charge(std::uint64_t steps) {
        m_steps += steps;
        if (m_steps > m_in.m_stepLimit)
            throw LispError("evaluation stopped: too many steps (endless loop?)");
    }

    static constexpr std::size_t kMaxString = 1 << 20;
    Interpreter& m_in;
    std::uint64_t m_steps = 0;
};

LispEvaluator::Result Interpreter::evaluate(const std::string& expression) {
    ReadResult r = read(expression);
    if (!r.ok())
        return {false, r.error};
    Evaluator evaluator(*this);
    try {
        Value last;
        for (const Value& form : r.forms)
            last = evaluator.eval(form, 0);
        return {true, print(last)};
    } catch (const LispError& e) {
        return {false, e.what()};
    } catch (const std::bad_alloc&) {
        return {false, "out of memory"};
    }
}

LispEvaluator::Result Interpreter::loadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {false, "LOAD failed: \"" + path + "\""};
    std::ostringstream text;
    text << in.rdbuf();
    return evaluate(text.str());
}

std::optional<Value> Interpreter::global(const std::string& name) const {
    auto it = m_globals.find(upper(name));
    if (it == m_globals.end())
        return std::nullopt;
    return it->second;
}

bool Interpreter::isFunction(const std::string& name) const {
    return m_functions.count(upper(name)) != 0;
}

void Interpreter::reset() {
    m_globals.clear();
    m_functions.clear();
    m_stepLimit = kDefaultStepLimit;
}

} // namespace cadhost::lisp
