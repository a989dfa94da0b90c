#pragma once

#include "mail/account_prompt.h"

#include <optional>

namespace kestrum::testing {

// The log-on dialog as a test answers it: cancelled unless given an answer. Remembers what it
// was shown and told.
struct ScriptedPrompt : AccountPrompt {
    std::optional<MailAccount> answer;
    MailAccount shown;
    int asked = 0;
    bool toldPasswordInSettingsFile = false;

    std::optional<MailAccount> askAccount(const MailAccount& current,
                                          bool passwordInSettingsFile) override {
        ++asked;
        shown = current;
        toldPasswordInSettingsFile = passwordInSettingsFile;
        return answer;
    }
};

}  // namespace kestrum::testing
