#include "mail/logon_dialog.h"
#include "mail/settings_password_store.h"
#include "mqtt/mqtt_dialog.h"
#include "support/captured_warnings.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompt.h"
#include "support/settings_files.h"

#include "support/printers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kestrum {
namespace {

QLineEdit* field(LogonDialog& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Addresses are trimmed; a password is taken as typed, as spaces may belong to it.
TEST(LogonDialogTest, TestRunsOnTheAccountAsEnteredAndShowsTheReport) {
    MailAccount tested;
    LogonDialog dialog({"imaps://old:993", {}, {}, {}, {}}, false, [&](const MailAccount& account) {
        tested = account;
        return QStringLiteral("Incoming: OK, TLS\nOutgoing: refused");
    });
    field(dialog, "incoming")->setText(" imaps://mail.example.org:993 ");
    field(dialog, "password")->setText(" salasõna ");
    dialog.findChild<QCheckBox*>("plainTextAllowed")->setChecked(true);
    QTest::mouseClick(dialog.findChild<QPushButton*>("test"), Qt::LeftButton);
    EXPECT_EQ(tested.incomingUrl, "imaps://mail.example.org:993");
    EXPECT_EQ(tested.password, " salasõna ");
    EXPECT_TRUE(tested.plainTextAllowed);
    EXPECT_EQ(dialog.testReport(), "Incoming: OK, TLS\nOutgoing: refused");
    EXPECT_EQ(field(dialog, "password")->echoMode(), QLineEdit::Password);
}

// The settings window edits the account before any mail check asks for it.
TEST(EditMailAccountTest, KeepsWhatWasConfirmedAndNothingWhenCancelled) {
    testing::ScriptedPrompt prompt;
    testing::MemorySettingsStore store;
    SettingsPasswordStore passwords(store, QString());
    const MailAccount first{
        "imaps://mail.lan:993", "smtp://relay.lan:25", "kasutaja", "salasõna", "kast@lan", true};
    prompt.answer = first;
    EXPECT_EQ(editMailAccount(store, passwords, prompt), "");
    prompt.answer.reset();
    EXPECT_EQ(editMailAccount(store, passwords, prompt), "");
    EXPECT_EQ(prompt.shown.password, first.password) << "the form starts from the stored account";
    EXPECT_EQ(prompt.shown.user, first.user);
    EXPECT_EQ(loadMailAccount(store, passwords).outgoingUrl, first.outgoingUrl);
    EXPECT_TRUE(loadMailAccount(store, passwords).plainTextAllowed);
    QSettingsStore file;  // a confirmed account is on the disk at once, not at the close
    saveMailAccount(file, passwords, first);
    EXPECT_EQ(testing::onDisk("Post", "Kasutaja"), first.user);
    store.failSection("Post");
    prompt.answer = MailAccount{};
    EXPECT_FALSE(editMailAccount(store, passwords, prompt).isEmpty());
}

// A server URL of 40 characters shows whole in both forms that ask for one: the text does not
// scroll when the cursor goes from its start to its end.
TEST(TestedFormTest, AFortyCharacterUrlShowsWhole) {
    const QString url = QStringLiteral("imaps://imap.myemailprovider.example:993");
    ASSERT_EQ(url.size(), 40);
    std::unique_ptr<QDialog> forms[] = {
        std::make_unique<LogonDialog>(MailAccount{url, {}, {}, {}, {}, false}, true,
                                      [](const MailAccount&) { return QString(); }),
        std::make_unique<MqttDialog>(MqttSettings{url, {}, {}, {}, {}, {}}, true,
                                     [](const MqttSettings&) { return QString(); }),
    };
    // The field scrolls its text as it paints.
    const auto cursorX = [](QLineEdit* field) {
        field->grab();
        return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    for (const auto& form : forms) {
        form->show();
        auto* first = form->findChildren<QLineEdit*>().first();
        ASSERT_EQ(first->text(), url);
        first->setCursorPosition(0);
        const int start = cursorX(first);
        first->setCursorPosition(url.size());
        EXPECT_GE(cursorX(first) - start, first->fontMetrics().horizontalAdvance(url))
            << form->windowTitle().toStdString();
    }
}

// An account stored before plain text had to be allowed keeps working as it did, and says so
// once; one that never went without TLS, or whose choice was made, is left as it is.
TEST(CompleteMailAccountTest, AllowsPlainTextOnceForAnOldAccountOnAPlainScheme) {
    const struct {
        QString incoming;
        QString outgoing;
        QString choice;
        QString completed;
    } cases[] = {{"imap://mail.lan:143", "smtps://mail.lan:465", {}, "1"},
                 {"imaps://mail.lan:993", "smtp://mail.lan:25", {}, "1"},
                 {"imaps://mail.lan:993", "smtps://mail.lan:465", {}, {}},
                 {"pop3://mail.lan:110", "smtp://mail.lan:25", "0", "0"}};
    for (const auto& c : cases) {
        testing::MemorySettingsStore store;
        store.write("Post", "Sisse", c.incoming);
        store.write("Post", "Välja", c.outgoing);
        if (!c.choice.isEmpty()) {
            store.write("Post", "Krüpteerimata", c.choice);
        }
        const testing::CapturedWarnings warnings;
        completeMailAccount(store);
        completeMailAccount(store);
        EXPECT_EQ(store.read("Post", "Krüpteerimata"), c.completed) << c.incoming.toStdString();
        EXPECT_EQ(warnings.containing("without TLS").size(),
                  c.choice.isEmpty() ? c.completed.size() : 0);
    }
}

}  // namespace
}  // namespace kestrum
