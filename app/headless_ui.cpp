#include "headless_ui.h"

#include <QCoreApplication>

#include <cstdio>

namespace kestrum {

MessageAnswer HeadlessUi::messageBox(const QString& text, const QString& title, MessageIcon,
                                     MessageButtons buttons) {
    // One line each, so that a journal keeps title and text together and in order.
    std::fprintf(stderr, "%s\n%s\n", qPrintable(title.simplified()), qPrintable(text.simplified()));
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void HeadlessUi::unloadMainWindow() {
    QCoreApplication::exit(0);
}

}  // namespace kestrum
