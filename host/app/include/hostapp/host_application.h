#pragma once
// The cadhost executable from start to exit: options, profile and registry,
// runtime, host commands, frame, the drawing, start-up modules, the script,
// --save and --screenshot, and an orderly shutdown.
//
// Exit status: 0 success; 1 the script (or the start-up it depends on)
// failed; 2 bad usage.

namespace hostapp {

int runCadhost(int argc, char** argv);

} // namespace hostapp
