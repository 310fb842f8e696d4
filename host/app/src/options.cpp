#include "hostapp/options.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hostapp {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

} // namespace

std::string usageText() {
    return "usage: cadhost [--headless] [--profile DIR] [--load MODULE]... [--script FILE]\n"
           "               [--save FILE] [--screenshot FILE] [--transcript FILE] [DRAWING]\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    Options o;
    auto fail = [&](std::string why) {
        result.error = std::move(why);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        auto value = [&](std::string& out) -> bool {
            if (inlineValue) {
                out = *inlineValue;
            } else {
                if (i + 1 >= args.size())
                    return false;
                out = args[++i];
            }
            return !out.empty();
        };
        auto single = [&](std::string& out, const char* name) -> std::optional<std::string> {
            if (!out.empty())
                return std::string(name) + " is given twice";
            if (!value(out))
                return std::string(name) + " needs a value";
            return std::nullopt;
        };
        std::optional<std::string> problem;
        if (arg == "--headless") {
            if (inlineValue)
                problem = "--headless takes no value";
            o.headless = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--profile") {
            problem = single(o.profileDir, "--profile");
        } else if (arg == "--load") {
            std::string module;
            if (!value(module))
                problem = "--load needs a module path";
            else
                o.loads.push_back(module);
        } else if (arg == "--script") {
            problem = single(o.script, "--script");
        } else if (arg == "--save") {
            problem = single(o.save, "--save");
        } else if (arg == "--screenshot") {
            problem = single(o.screenshot, "--screenshot");
        } else if (arg == "--transcript") {
            problem = single(o.transcript, "--transcript");
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option " + arg;
        } else if (!o.drawing.empty()) {
            problem = "only one drawing can be given (" + o.drawing + ", " + arg + ")";
        } else {
            o.drawing = arg;
        }
        if (problem)
            return fail(*problem);
    }
    result.options = o;
    return result;
}

std::string defaultProfileDir() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::temp_directory_path();
    return (base / "cadhost" / "profile").string();
}

std::vector<std::string> readStartupList(const std::string& profileDir) {
    std::vector<std::string> modules;
    std::ifstream in(std::filesystem::path(profileDir) / "startup.lst");
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        std::filesystem::path p(line);
        if (p.is_relative())
            p = std::filesystem::path(profileDir) / p;
        modules.push_back(p.lexically_normal().string());
    }
    return modules;
}

} // namespace hostapp
