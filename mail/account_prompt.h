#pragma once

#include "mail/mail_account.h"

#include <optional>

namespace kestrum {

// Asks the user for the mail account when none is set up.
class AccountPrompt {
public:
    virtual ~AccountPrompt() = default;

    // The account the user entered, starting from `current`; nothing when the user cancelled.
    // passwordInSettingsFile: the password can only be kept in the settings file.
    virtual std::optional<MailAccount> askAccount(const MailAccount& current,
                                                  bool passwordInSettingsFile) = 0;
};

// Lets the user edit the stored account before any mail check needs it, and keeps what was
// confirmed; a cancelled prompt changes nothing. The reason, for the user, when the account
// could not be kept, else empty.
QString editMailAccount(SettingsStore& store, PasswordStore& passwords, AccountPrompt& prompt);

}  // namespace kestrum
