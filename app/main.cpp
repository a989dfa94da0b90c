// Kestrum: the control panel of the serial switch box.
#include "app/headless.h"
#include "app/single_instance.h"
#include "app/windowed.h"
#include "core/qsettings_store.h"
#include "web/password_input.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
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
        parser.addOption(headless);
        parser.addOption(setWebPassword);
    }

    QCommandLineParser parser;
    const QCommandLineOption simulate{
        QStringLiteral("simulate"),
        QStringLiteral("Run on a simulated board instead of the serial ports, shown in a window "
                       "of its own unless headless.")};
    const QCommandLineOption headless{
        QStringLiteral("headless"),
        QStringLiteral("Run with no windows and no tray, as a service; messages go to standard "
                       "error. Needs no display.")};
    const QCommandLineOption setWebPassword{
        QStringLiteral("set-web-password"),
        QStringLiteral("Read the web panel's password from one line of standard input, store its "
                       "hash and exit. Needs no display.")};
};

// --help, --version and --set-web-password answer before any window system is touched, so that they
// work over SSH and in services too; they end the program here. Everything else waits for the
// application, which first takes its own options (-platform, -style) out of the command line. Tells
// whether the program runs headless, which decides the kind of application to build.
bool answerHelpAndVersion(int& argc, char** argv) {
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
    if (line.parser.isSet(line.setWebPassword)) {
        int status = 0;
        {
            QSettingsStore store;
            status = setWebPasswordFrom(stdin, store);
        }
        std::exit(status);
    }
    return line.parser.isSet(line.headless);
}

}  // namespace

int main(int argc, char** argv) {
    const bool headless = answerHelpAndVersion(argc, argv);
    // Without windows no platform plug-in is loaded, so no display is needed.
    const std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv)
                 : std::make_unique<QApplication>(argc, argv);
    CommandLine line;
    line.parser.process(*app);
    const bool simulated = line.parser.isSet(line.simulate);

    SingleInstance instance(defaultLockFilePath());
    if (!instance.acquired()) {
        std::fprintf(stderr, "kestrum: %s\n", qPrintable(instance.refusal()));
        if (!headless) {
            QMessageBox::critical(nullptr, QStringLiteral("Kestrum"), instance.refusal());
        }
        return 1;
    }
    return headless ? runHeadless(simulated) : runWindowed(simulated);
}
