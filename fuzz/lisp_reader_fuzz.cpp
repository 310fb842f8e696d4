// Feeds arbitrary bytes to the LISP reader and evaluator. Whatever the text, the answer is a
// value or a one-line error, within the step bound, and what was read prints back to text that
// reads again into the same forms.

#include "cadhost/lisp.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const cadhost::lisp::ReadResult first = cadhost::lisp::read(text);
    if (first.ok()) {
        std::string printed;
        for (const auto& form : first.forms)
            printed += cadhost::lisp::print(form) + "\n";
        const cadhost::lisp::ReadResult second = cadhost::lisp::read(printed);
        if (!second.ok() || second.forms.size() != first.forms.size())
            __builtin_trap();
        std::string again;
        for (const auto& form : second.forms)
            again += cadhost::lisp::print(form) + "\n";
        if (again != printed)
            __builtin_trap();
    }

    static cadhost::lisp::Interpreter lisp;
    lisp.reset();
    lisp.setStepLimit(20000);
    lisp.hooks().command = [](const std::vector<std::string>&) {};
    lisp.hooks().print = [](std::string_view) {};
    lisp.hooks().menucmd = [](const std::string& r) -> std::optional<std::string> {
        return r.size() % 2 ? std::optional<std::string>("x") : std::nullopt;
    };
    const auto result = lisp.evaluate(text);
    if (!result.ok && result.text.find('\n') != std::string::npos)
        __builtin_trap();
    return 0;
}
