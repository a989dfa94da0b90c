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

}  // namespace kestrum
