#pragma once
// The host's own commands, registered in the command stack under group
// "CADHOST": NEW, OPEN, SAVE, SAVEAS, CLOSE, -TABLE, TABLE, TABLEDIT (the
// text of a picked cell), PROPERTIES, ZOOM, APPLOAD, SCRIPT, and U, UNDO (a
// number of steps or All) and REDO over the active drawing's undo history.
//
// File names are asked on the command line while a script runs or when
// FILEDIA is 0 ("~" there opens the dialog anyway), otherwise in a file dialog.

#include <functional>
#include <string>

namespace hostui {

inline constexpr const char* kHostCommandGroup = "CADHOST";

struct HostCommandHooks {
    // True while input comes from a script: file names are typed, not chosen.
    std::function<bool()> scriptRunning;
    // Runs a script file (the SCRIPT command); false with a message when it cannot.
    std::function<bool(const std::string& path, std::string& error)> runScript;
    // A command could not do its work (a drawing that cannot be read or saved);
    // a running script fails on it rather than going on with the wrong drawing.
    std::function<void(const std::string& message)> commandFailed;
};

// Registers the commands (again: replaces the group). The hooks are kept.
void registerHostCommands(HostCommandHooks hooks = {});
void unregisterHostCommands();

} // namespace hostui
