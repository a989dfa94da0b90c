#pragma once

#include "panel.h"
#include "serial_port.h"
#include "settings_store.h"
#include "state.h"

#include <functional>

namespace kestrum {

// Which serial port the board is reached on, and the port label that shows the one in use. The
// user's choice is stored under "Järjestikport"; when the chosen port does not open, another may
// stand in for it, for this run only unless said otherwise.
class PortChoice {
public:
    PortChoice(SerialPort& port, Panel& panel);

    // The stored port number; 0 when none is stored.
    static int stored(const SettingsStore& store);

    // First run, no port stored: port 1 when it opens, otherwise port 2, untested; the one taken
    // is stored. Port 1 with a device named for it is kept even when it does not open (an adapter
    // not plugged in yet). False when port 2 stands in for port 1; a port already stored is left
    // alone (true).
    bool complete(SettingsStore& store);
    // Start-up: the stored port (port 1 when none) when it opens. Otherwise port 2 serves this
    // run if it opens and no device is named for the stored port, and else the board stays on
    // the stored port, which the scans keep trying (a USB adapter not yet plugged in). The store
    // keeps the user's choice either way.
    void chooseAtStartUp(const SettingsStore& store);
    // The settings dialog's choice: when the chosen port opens it is taken, stored and shown.
    // False when it did not open, with the chosen port still selected; a store failure throws
    // StoreError. Either way the caller may set the previous port back.
    bool takeChosen(int chosen, State& state, SettingsStore& store);
    // The port in use before a refused choice is selected and shown again.
    void setBack(int previous);
    // Tries `open` on the port in use; when that fails and no device is named for it, the other
    // of ports 1 and 2 (port 1 for any other) serves this run and `open` is tried once more.
    // Nothing is stored.
    bool openWithFallback(const std::function<bool()>& open);

private:
    // Selects the port and tests that it opens; it is left selected and closed.
    bool opens(int number);
    void select(int number);
    void show();
    static void writeChoice(SettingsStore& store, int number);

    SerialPort& m_port;
    Panel& m_panel;
};

}  // namespace kestrum
