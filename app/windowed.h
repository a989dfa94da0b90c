#pragma once

namespace kestrum {

// Runs the program with its control panel, dialogs and tray icon (and the simulated board's
// window with --simulate) until it is stopped. Returns the exit code.
int runWindowed(bool simulated);

}  // namespace kestrum
