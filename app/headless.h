#pragma once

namespace kestrum {

// Runs the program with no windows and no tray, as a service does, until it is stopped.
// Returns the exit code.
int runHeadless(bool simulated);

}  // namespace kestrum
