#pragma once

#include "app/program.h"
#include "core/qsettings_store.h"
#include "core/qt_timers.h"
#include "device/qt_serial_port.h"
#include "device/simulated_board.h"
#include "mail/account_prompt.h"
#include "mail/keyring_password_store.h"
#include "mail/mail_options.h"
#include "mail/processed_mails_file.h"
#include "mail/settings_password_store.h"
#include "mail/vmime_mail_backend.h"
#include "mqtt/mosquitto_client.h"
#include "mqtt/mqtt_bridge.h"
#include "web/web_server.h"

#include <memory>

namespace kestrum {

// The real services and the Program over them, the same with windows and without: the
// settings file, the clock and timers, the serial ports or the simulated board, the mail
// account and back end, the processed mails, the event log, the MQTT bridge and the web panel. Only
// the user interface and the mail log-on prompt differ, and they are given.
class Engine {
public:
    Engine(bool simulated, Ui& ui, AccountPrompt& logonPrompt, MailOptions mailOptions = {});

    // Runs the program's start-up, then connects the MQTT bridge and opens the web panel. False
    // when it was stopped meanwhile: the event loop that the stop ended must then not be entered
    // afresh.
    bool start();

    Program& program() { return m_program; }
    QSettingsStore& store() { return m_store; }
    PasswordStore& passwords() { return m_passwords; }
    PasswordStore& mqttPasswords() { return m_mqttPasswords; }
    MqttBridge& mqtt() { return m_mqtt; }
    WebServer& web() { return m_web; }
    // The board of --simulate; nothing on the serial ports.
    SimulatedBoard* simulatedBoard() { return m_simulatedBoard.get(); }

private:
    SerialPort& port();

    QSettingsStore m_store;
    SystemClock m_clock;
    QtTimerFactory m_timerFactory;
    std::unique_ptr<SimulatedBoard> m_simulatedBoard;
    std::unique_ptr<QtSerialPort> m_serialPort;
    // The password lives in the keyring, or in the owner-only settings file where none answers.
    SettingsPasswordStore m_passwordFile;
    KeyringPasswordStore m_passwords;
    VmimeMailBackend m_mail;
    ProcessedMailsFile m_processedMails;
    Program m_program;
    SettingsPasswordStore m_mqttPasswordFile;
    KeyringPasswordStore m_mqttPasswords;
    MosquittoClient m_mqttClient;
    MqttBridge m_mqtt;
    WebServer m_web;
};

// Runs the program's start-up, then connects the MQTT bridge. False when it was stopped
// meanwhile (a signal or a closed window while a message box or the keyring waited): the event
// loop that the stop ended must then not be entered afresh.
bool startProgram(Program& program, MqttBridge& mqtt);

}  // namespace kestrum
