#include "headless.h"

#include "app/engine.h"
#include "app/headless_ui.h"
#include "app/signal_exit.h"

#include <QCoreApplication>

namespace kestrum {

int runHeadless(bool simulated) {
    HeadlessUi ui;
    CancelledAccountPrompt logon;
    Engine engine(simulated, ui, logon);
    Program& program = engine.program();
    // With no window to close, a stop from outside takes the path a closing window takes.
    SignalExit signalExit([&program] { program.lifecycle().Form_Unload(); });
    if (!engine.start()) {
        return 0;
    }
    return QCoreApplication::exec();
}

}  // namespace kestrum
