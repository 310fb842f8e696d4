#pragma once
// The executable's command line:
//   cadhost [--headless] [--profile DIR] [--load MODULE]... [--script FILE]
//           [--save FILE] [--screenshot FILE] [--transcript FILE] [DRAWING]

#include <optional>
#include <string>
#include <vector>

namespace hostapp {

struct Options {
    bool headless = false;
    bool help = false;
    std::string profileDir; // empty: the default profile
    std::vector<std::string> loads;
    std::string script;
    std::string save;
    std::string screenshot;
    std::string transcript;
    std::string drawing;
};

struct ParsedOptions {
    std::optional<Options> options; // nothing on bad usage
    std::string error;              // why, for the user
};

// args without the program name. "--opt=value" is accepted as "--opt value".
ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText();

// The profile folder used without --profile: $XDG_DATA_HOME/cadhost/profile,
// else ~/.local/share/cadhost/profile.
std::string defaultProfileDir();

// Module paths of a profile's start-up list: one a line; blank lines and lines
// starting with ';' or '#' are skipped; relative paths are relative to the profile.
std::vector<std::string> readStartupList(const std::string& profileDir);

} // namespace hostapp
