#include "windowed.h"

#include "app/autostart.h"
#include "app/engine.h"
#include "app/signal_exit.h"
#include "core/juhtpult_window.h"
#include "core/qt_ui.h"
#include "device/serial_devices.h"
#include "device/simulated_board_window.h"
#include "dialogs/ajad_dialog.h"
#include "dialogs/inputs_set_dialog.h"
#include "dialogs/legal_window.h"
#include "dialogs/seaded_dialog.h"
#include "dialogs/skeem_window.h"
#include "log/logitekst_window.h"
#include "mail/logon_dialog.h"
#include "mail/vmime_connector.h"
#include "mqtt/mqtt_dialog.h"
#include "web/web_dialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include <memory>

namespace kestrum {

namespace {

void warn(QWidget* parent, const QString& text) {
    if (!text.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("Kestrum"), text);
    }
}

}  // namespace

int runWindowed(bool simulated) {
    // The program ends through its orderly shut-down, not when some window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    QtUi ui;
    const MailOptions mailOptions;
    const LogonDialog::Tester accountTest = [mailOptions](const MailAccount& account) {
        return testMailAccount(account, mailOptions);
    };
    LogonDialogPrompt logon(accountTest);
    Engine engine(simulated, ui, logon, mailOptions);
    Program& program = engine.program();
    QSettingsStore& store = engine.store();
    JuhtpultWindow window(program.panel(), program);
    ui.attach(window);
    // Each window is modal and lives only while it is shown.
    const Autostart autostart(defaultAutostartEntry(), QCoreApplication::applicationFilePath());
    const SeadedDialog::Links links{
        .editOutput = [&](QWidget* parent) { AjadDialog(program.outputSettings(), parent).exec(); },
        .editInput =
            [&](QWidget* parent) { InputsSetDialog(program.inputSettings(), parent).exec(); },
        .readLog = [&](QWidget* parent) { LogiTekstWindow(program.logViewer(), parent).exec(); },
        .deleteLog = [&] { program.logViewer().ComKill_Click(); },
        .showCircuit =
            [&](QWidget* parent) { SkeemWindow(ui, window.screen()->size(), parent).exec(); },
        .deviceOf =
            [&](int n) {
                return simulated ? QStringLiteral("simulated board") : serialDeviceName(store, n);
            },
        .listDevices = simulated ? std::function<QList<SerialDeviceChoice>()>()
                                 : [] { return serialDeviceChoices(); },
        .editMailAccount =
            [&](QWidget* parent) {
                LogonDialogPrompt prompt(accountTest, parent);
                const QString failure = editMailAccount(store, engine.passwords(), prompt);
                warn(parent,
                     failure.isEmpty()
                         ? failure
                         : QStringLiteral("The mail account was not saved: %1").arg(failure));
            },
        .startsAtLogin = [&] { return autostart.enabled(); },
        .setStartAtLogin = [&](bool on) { return autostart.setEnabled(on); },
        .editMqtt =
            [&](QWidget* parent) {
                warn(parent,
                     editMqttSettings(store, engine.mqttPasswords(), engine.mqtt(), parent));
            },
        .editWeb = [&](QWidget* parent) { WebDialog(store, engine.web(), parent).exec(); },
    };
    ui.setDialogs([&] { SeadedDialog(program.generalSettings(), links, &window).exec(); },
                  [&] { LegalWindow(&window).exec(); });

    std::unique_ptr<SimulatedBoardWindow> boardWindow;
    if (SimulatedBoard* board = engine.simulatedBoard()) {
        boardWindow = std::make_unique<SimulatedBoardWindow>(*board);
        boardWindow->setWindowIcon(window.windowIcon());
    }
    SignalExit signalExit([&window] { window.close(); });

    if (!engine.start()) {
        return 0;
    }
    if (boardWindow) {
        showBesidePanel(window, *boardWindow);
    }
    return QApplication::exec();
}

}  // namespace kestrum
