#pragma once

#include "core/windowless_ui.h"
#include "mail/account_prompt.h"

namespace kestrum {

// The engine's requests answered with no window to show them: messages go to standard error
// (and so to the journal of a service), and each is answered as a user most likely would.
class HeadlessUi : public WindowlessUi {
public:
    // OK, and No to a question: nobody is there to agree to what a Yes would do.
    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override;
    // The settings window is as if closed unchanged: the engine carries on with what it has.
    // Ends the event loop, during start-up too (see QtUi::unloadMainWindow).
    void unloadMainWindow() override;
};

// The mail log-on with no window for it: cancelled, so a missing account fails the mail
// session with its reason in the log.
class CancelledAccountPrompt : public AccountPrompt {
public:
    std::optional<MailAccount> askAccount(const MailAccount&, bool) override { return {}; }
};

}  // namespace kestrum
