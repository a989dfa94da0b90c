#include "web/web_dialog.h"

#include "support/local_servers.h"
#include "support/program_on_doubles.h"
#include "support/widget_lookup.h"
#include "web/password_hash.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace kestrum::testing {
namespace {

TEST(WebDialogTest, OkKeepsOnlyThePasswordsHashAndSaysWhyThePanelCannotListen) {
    ProgramOnDoubles setup;
    Program& program = setup.start();
    WebServer server(program.state(), program.panel(),
                     {{setup.memory, program.outputs(), program.timers(), program.log(), setup.time,
                       setup.logPath(), [] { return true; }},
                      setup.folder.path()});
    WebDialog dialog(setup.memory, server);
    QDialog& form = dialog;  // OK, as the button box calls it
    child<QCheckBox>(&dialog, "enabled")->setChecked(true);
    child<QLineEdit>(&dialog, "listen")->setText(QStringLiteral("0.0.0.0:%1").arg(freePort()));
    form.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);  // still open
    EXPECT_TRUE(child<QLabel>(&dialog, "status")->text().contains(QStringLiteral("no password")));

    child<QLineEdit>(&dialog, "password")->setText(QStringLiteral("küttekeha"));
    form.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_NE(server.port(), 0);
    EXPECT_TRUE(child<QLabel>(&dialog, "status")->text().contains(server.fingerprint()));
    const QString hash = setup.memory.read(web::section, web::passwordHash);
    EXPECT_TRUE(passwordMatches(QStringLiteral("küttekeha"), hash));
    EXPECT_FALSE(hash.contains(QStringLiteral("küttekeha")));
    EXPECT_EQ(setup.memory.read(web::section, web::enabled), QStringLiteral("1"));
}

}  // namespace
}  // namespace kestrum::testing
