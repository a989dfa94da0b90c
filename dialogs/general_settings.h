#pragma once

#include "core/panel.h"
#include "core/port_choice.h"
#include "core/serial_port.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timers.h"
#include "core/ui.h"

#include <array>

namespace kestrum {

// What the general settings window shows.
struct GeneralForm {
    int portIndex = 0;  // 0..3 stands for port 1..4
    QString device;     // the device chosen for that port; empty: the one it stands for now
    std::array<QString, 8> outputNames;
    std::array<QString, 8> inputNames;
    bool mailEnabled = false;
    bool prefAdrOnly = false;
    QString prefAdrText;
    QString prefAdrText1;
    bool verifiedSenders = false;
    QString authServId;
    int mailCheckIndex = 0;  // 0..2 stands for 5, 10, 15 minutes
    bool confirm = false;
    bool passwordRequired = false;
    QString password;
    bool logging = false;
    bool supervision = false;
    // Where the sun times are worked out for, decimal degrees; both empty: no place.
    QString latitude;
    QString longitude;
    bool remoteControl = true;  // MQTT and web commands obeyed
};

// Mail control, sender addresses, mail period, confirmations, password, logging, supervision
// and the serial port, always shown as stored and taken over one by one on OK.
class GeneralSettings {
public:
    GeneralSettings(State& state, Panel& panel, SettingsStore& store, SerialPort& port,
                    Timers& timers, Ui& ui);

    // What the window shows as it opens (its Form_Load). Reads every value from the store, not
    // from memory, and takes it over.
    GeneralForm formOnOpening();
    // True when the window may close. A refusal has been told to the user; what came before it
    // stays taken over, and the form shows the port set back when the port was refused.
    bool ComOK_Click(GeneralForm& form);
    // The output frames of the main window show the names in memory again.
    void ComCancel_Click();
    // The output or input n is about to be edited in its own window.
    void beginEdit(int n) { m_state.EditIndex = n; }

private:
    // Takes the value over and stores it.
    void store(const GeneralKey& key, const Value& value);
    void storeFlag(const GeneralKey& key, bool on);
    bool takePort(GeneralForm& form);
    bool takePlace(GeneralForm& form);

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    SerialPort& m_port;
    PortChoice m_portChoice;
    Timers& m_timers;
    Ui& m_ui;
};

}  // namespace kestrum
