// Kestrum: the control panel of the serial switch box.
#include "app/autostart.h"
#include "app/program.h"
#include "app/signal_exit.h"
#include "app/single_instance.h"
#include "core/juhtpult_window.h"
#include "core/qsettings_store.h"
#include "core/qt_timers.h"
#include "core/qt_ui.h"
#include "device/qt_serial_port.h"
#include "device/serial_devices.h"
#include "device/simulated_board.h"
#include "device/simulated_board_window.h"
#include "dialogs/ajad_dialog.h"
#include "dialogs/inputs_set_dialog.h"
#include "dialogs/legal_window.h"
#include "dialogs/seaded_dialog.h"
#include "dialogs/skeem_window.h"
#include "log/event_log.h"
#include "log/logitekst_window.h"
#include "mail/keyring_password_store.h"
#include "mail/logon_dialog.h"
#include "mail/processed_mails_file.h"
#include "mail/settings_password_store.h"
#include "mail/vmime_mail_backend.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>
#include <memory>

using namespace kestrum;

namespace {

// The options of the program, for the two readings of the command line below.
struct CommandLine {
    CommandLine() {
        parser.setApplicationDescription(
            QStringLiteral("Controls the serial switch box: eight outputs, eight inputs."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(simulate);
    }

    QCommandLineParser parser;
    const QCommandLineOption simulate{
        QStringLiteral("simulate"),
        QStringLiteral("Run on a simulated board, shown in a window of its own, instead of the "
                       "serial ports.")};
};

// --help and --version answer before any window system is touched, so that they work over SSH
// and in services too; they end the program here. Everything else waits for the application,
// which first takes its own options (-platform, -style) out of the command line.
void answerHelpAndVersion(int& argc, char** argv) {
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrum"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRUM_VERSION));
    CommandLine line;
    // Qt's own options are not known here: read "-reverse" as one word, not as -r -e -v ...
    line.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    line.parser.parse(QCoreApplication::arguments());
    if (line.parser.isSet(QStringLiteral("version"))) {
        line.parser.showVersion();
    }
    if (line.parser.isSet(QStringLiteral("help"))) {
        line.parser.showHelp();
    }
}

}  // namespace

int main(int argc, char** argv) {
    answerHelpAndVersion(argc, argv);
    QApplication app(argc, argv);
    CommandLine line;
    line.parser.process(app);
    const bool simulated = line.parser.isSet(line.simulate);
    // The program ends through its orderly shut-down, not when some window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(defaultLockFilePath());
    if (!instance.acquired()) {
        std::fprintf(stderr, "kestrum: %s\n", qPrintable(instance.refusal()));
        QMessageBox::critical(nullptr, QStringLiteral("Kestrum"), instance.refusal());
        return 1;
    }

    QSettingsStore store;
    SystemClock clock;
    QtTimerFactory timerFactory;
    std::unique_ptr<SimulatedBoard> simulatedBoard;
    std::unique_ptr<QtSerialPort> serialPort;
    SerialPort* port = nullptr;
    if (simulated) {
        simulatedBoard = std::make_unique<SimulatedBoard>(clock);
        port = simulatedBoard.get();
    } else {
        serialPort = std::make_unique<QtSerialPort>(store);
        port = serialPort.get();
    }

    QtUi ui;
    // The password lives in the keyring, or in the owner-only settings file where none answers.
    SettingsPasswordStore passwordFile(store, store.fileName());
    KeyringPasswordStore passwords(passwordFile);
    const MailOptions mailOptions;
    const LogonDialog::Tester accountTest = [mailOptions](const MailAccount& account) {
        return testMailAccount(account, mailOptions);
    };
    LogonDialogPrompt logon(accountTest);
    VmimeMailBackend mail(store, passwords, logon, mailOptions);
    ProcessedMailsFile processedMails(
        QFileInfo(store.fileName()).dir().filePath(QStringLiteral("processed-mails")));
    Program program(Services{store, *port, timerFactory, clock, ui, mail, processedMails,
                             defaultLogFilePath()});
    JuhtpultWindow window(program.panel(), program);
    ui.attach(window);
    // Each window is modal and lives only while it is shown.
    const Autostart autostart(defaultAutostartEntry(), QCoreApplication::applicationFilePath());
    const SeadedDialog::Doors doors{
        [&](QWidget* parent) { AjadDialog(program.outputSettings(), parent).exec(); },
        [&](QWidget* parent) { InputsSetDialog(program.inputSettings(), parent).exec(); },
        [&](QWidget* parent) { LogiTekstWindow(program.logViewer(), parent).exec(); },
        [&] { program.logViewer().ComKill_Click(); },
        [&](QWidget* parent) { SkeemWindow(ui, window.screen()->size(), parent).exec(); },
        [&](int n) {
            return simulated ? QStringLiteral("simulated board") : serialDeviceName(store, n);
        },
        simulated ? std::function<QList<SerialDeviceChoice>()>()
                  : [] { return serialDeviceChoices(); },
        [&](QWidget* parent) {
            LogonDialogPrompt prompt(accountTest, parent);
            const QString failure = editMailAccount(store, passwords, prompt);
            if (!failure.isEmpty()) {
                QMessageBox::warning(
                    parent, QStringLiteral("Kestrum"),
                    QStringLiteral("The mail account was not saved: %1").arg(failure));
            }
        },
        [&] { return autostart.enabled(); },
        [&](bool on) { return autostart.setEnabled(on); },
    };
    ui.setDialogs([&] { SeadedDialog(program.generalSettings(), doors, &window).exec(); },
                  [&] { LegalWindow(&window).exec(); });

    std::unique_ptr<SimulatedBoardWindow> boardWindow;
    if (simulatedBoard) {
        boardWindow = std::make_unique<SimulatedBoardWindow>(*simulatedBoard);
        boardWindow->setWindowIcon(window.windowIcon());
    }
    SignalExit signalExit([&window] { window.close(); });

    program.lifecycle().Form_Load();
    // Stopped during start-up: the loop that exit() ended must not be entered afresh.
    if (program.lifecycle().hasShutDown()) {
        return 0;
    }
    if (boardWindow) {
        boardWindow->move(window.frameGeometry().topRight() + QPoint(12, 0));
        boardWindow->show();
    }
    return QApplication::exec();
}
