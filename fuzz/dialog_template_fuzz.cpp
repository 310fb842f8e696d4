// Dialog templates and the other resource texts come from module files:
// whatever they hold, parsing ends with a template or a reason.
#include "cadhost/dialog_template.h"
#include "cadhost/resource_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (auto parsed = cadhost::DialogTemplate::parse(text, &error)) {
        for (const cadhost::DialogControl& c : parsed->controls)
            if (parsed->control(c.id) == nullptr && c.id != -1)
                __builtin_trap(); // every id the parser accepted is found again
    } else if (error.empty()) {
        __builtin_trap(); // a refusal always says why
    }
    cadhost::parseMenuResource(text, &error);
    cadhost::parseToolbarResource(text, &error);
    cadhost::parseStringTable(text);
    return 0;
}
