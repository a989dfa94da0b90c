#pragma once

#include "core/windowless_ui.h"

namespace kestrum {

// The settings windows' engine, run for a page whose user confirmed on the page already: a
// question is answered Yes, and the last message is kept as the refusal to send back. Nothing
// is shown on the desktop.
class ConfirmedUi : public WindowlessUi {
public:
    MessageAnswer messageBox(const QString& text, const QString&, MessageIcon,
                             MessageButtons buttons) override {
        lastMessage = text;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    void unloadMainWindow() override {}

    QString lastMessage;
};

}  // namespace kestrum
