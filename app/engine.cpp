#include "engine.h"

#include <QDir>
#include <QFileInfo>

namespace kestrum {

Engine::Engine(bool simulated, Ui& ui, AccountPrompt& logonPrompt, MailOptions mailOptions)
    : m_simulatedBoard(simulated ? std::make_unique<SimulatedBoard>(m_clock) : nullptr),
      m_serialPort(simulated ? nullptr : std::make_unique<QtSerialPort>(m_store)),
      m_passwordFile(m_store, m_store.fileName()),
      m_passwords(m_passwordFile),
      m_mail(m_store, m_passwords, logonPrompt, std::move(mailOptions)),
      m_processedMails(
          QFileInfo(m_store.fileName()).dir().filePath(QStringLiteral("processed-mails"))),
      m_program(Services{m_store, port(), m_timerFactory, m_clock, ui, m_mail, m_processedMails,
                         defaultLogFilePath()}),
      m_mqttPasswordFile(m_store, m_store.fileName(), mqtt::section, mqtt::password),
      m_mqttPasswords(m_mqttPasswordFile, QStringLiteral("Kestrum MQTT")),
      m_mqtt(m_program.state(), m_program.panel(),
             {m_store, m_mqttPasswords, m_program.outputs(), m_program.log(), m_mqttClient,
              [this] { return !m_program.lifecycle().hasShutDown(); }}),
      m_web(m_program.state(), m_program.panel(),
            {{m_store, m_program.outputs(), m_program.timers(), m_program.log(), m_clock,
              defaultLogFilePath(), [this] { return !m_program.lifecycle().hasShutDown(); }},
             QFileInfo(defaultLogFilePath()).absolutePath()}) {}

SerialPort& Engine::port() {
    if (m_simulatedBoard) {
        return *m_simulatedBoard;
    }
    return *m_serialPort;
}

bool Engine::start() {
    if (!startProgram(m_program, m_mqtt)) {
        return false;
    }
    m_web.restart();
    return true;
}

bool startProgram(Program& program, MqttBridge& mqtt) {
    Lifecycle& lifecycle = program.lifecycle();
    lifecycle.Form_Load();
    if (!lifecycle.hasShutDown()) {
        mqtt.restart();
    }
    // The keyring's wait for the MQTT password is an event loop too, which a stop ends.
    return !lifecycle.hasShutDown();
}

}  // namespace kestrum
