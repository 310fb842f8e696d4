#pragma once
// Start-up and shutdown of the runtime's services.

namespace cadhost {

// Defines the standard system variables and registers the services
// ("DynamicLinker", "ACAD_REGISTERED_COMMANDS") in the system registry.
// Called by every entry point on first use; calling it again does nothing.
void initializeRuntime();

// Unloads the modules, closes the documents and drops every pending input,
// prompt, selection set and log listener (host exit).
void shutdownRuntime();

// Back to a fresh state without unloading modules: documents closed, input
// and history cleared, system variables at their defaults, commands of the
// host groups left alone (tests).
void resetRuntimeState();

} // namespace cadhost
