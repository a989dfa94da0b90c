#include "account_prompt.h"

namespace kestrum {

QString editMailAccount(SettingsStore& store, PasswordStore& passwords, AccountPrompt& prompt) {
    try {
        const std::optional<MailAccount> entered =
            prompt.askAccount(loadMailAccount(store, passwords), passwords.keepsInSettingsFile());
        if (!entered) {
            return {};
        }
        saveMailAccount(store, passwords, *entered);
        return {};
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
}

}  // namespace kestrum
