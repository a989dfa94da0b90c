// Kestrum: the control panel of the serial switch box.
#include "app/headless.h"
#include "app/single_instance.h"
#include "app/windowed.h"
#include "core/qsettings_store.h"
#include "web/password_input.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace kestrum;

namespace {

// Started with standard input, output or error closed (some service managers and scripts do),
// the next file or socket opened would take that number, and a warning written to standard
// error would land in it: in the signal socket it read as a stop. /dev/null takes their place.
void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number is the one just found closed.
            ::open("/dev/null", O_RDWR);
        }
    }
}

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

// Qt's own options, which only the application takes out of the command line: the
// application's, the window system's and X11's.
const QStringList kQtOptions = {
    QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"), QStringLiteral("plugin"),
    QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
    QStringLiteral("reverse"),       QStringLiteral("session"),
    QStringLiteral("style"),         QStringLiteral("stylesheet"),
    QStringLiteral("widgetcount"),   QStringLiteral("display"),
    QStringLiteral("geometry"),      QStringLiteral("title"),
    QStringLiteral("name"),          QStringLiteral("visual"),
};

// The exit statuses a caller (a service manager, a script) can tell apart.
constexpr int kNoDisplay = 1;
constexpr int kUnknownOption = 2;
constexpr int kAlreadyRunning = 3;

// --help, --version and --set-web-password answer, and an unknown option is refused, before
// any window system is touched, so that they work over SSH and in services too; they end the
// program here. Everything else waits for the application, which first takes its own options
// (-platform, -style) out of the command line. Tells whether the program runs headless, which
// decides the kind of application to build.
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
    for (const QString& name : line.parser.unknownOptionNames()) {
        if (!kQtOptions.contains(name)) {
            std::fprintf(stderr, "kestrum: unknown option %s%s; kestrum --help lists the options\n",
                         name.size() == 1 ? "-" : "--", qPrintable(name));
            std::exit(kUnknownOption);
        }
    }
    if (line.parser.isSet(line.setWebPassword)) {
        // A running program keeps its settings in memory and would write the hash away again
        // at its next save: the password is set only while none runs.
        const SingleInstance instance(defaultLockFilePath());
        if (!instance.acquired()) {
            std::fprintf(stderr,
                         "kestrum: the password was not set: %s Stop Kestrum first, or set the "
                         "password in Settings, \"Web panel...\".\n",
                         qPrintable(instance.refusal()));
            std::exit(instance.heldByAnother() ? kAlreadyRunning : 1);
        }
        int status = 0;
        {
            QSettingsStore store;
            status = setWebPasswordFrom(stdin, store);
        }
        std::exit(status);
    }
    return line.parser.isSet(line.headless);
}

// Without a display the window system's plug-in would abort the program, with a core dump and
// lines that do not say what to do.
bool displayReachable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

[[noreturn]] void exitForNoDisplay() {
    std::fprintf(stderr,
                 "kestrum: no display found; kestrum --headless runs without one, as a service "
                 "does\n");
    std::_Exit(kNoDisplay);
}

// A display that is named but does not answer ends the application's construction fatally.
void noDisplayInsteadOfAbort(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type == QtFatalMsg) {
        exitForNoDisplay();
    }
}

}  // namespace

int main(int argc, char** argv) {
    openClosedStandardDescriptors();
    const bool headless = answerHelpAndVersion(argc, argv);
    if (!headless && !displayReachable()) {
        exitForNoDisplay();
    }
    // Without windows no platform plug-in is loaded, so no display is needed.
    const QtMessageHandler previous =
        headless ? nullptr : qInstallMessageHandler(noDisplayInsteadOfAbort);
    const std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv)
                 : std::make_unique<QApplication>(argc, argv);
    if (!headless) {
        qInstallMessageHandler(previous);
    }
    CommandLine line;
    line.parser.process(*app);
    const bool simulated = line.parser.isSet(line.simulate);

    SingleInstance instance(defaultLockFilePath());
    if (!instance.acquired()) {
        std::fprintf(stderr, "kestrum: %s\n", qPrintable(instance.refusal()));
        if (!headless) {
            QMessageBox::critical(nullptr, QStringLiteral("Kestrum"), instance.refusal());
        }
        return instance.heldByAnother() ? kAlreadyRunning : 1;
    }
    return headless ? runHeadless(simulated) : runWindowed(simulated);
}
