#include "dialogs/ajad_dialog.h"
#include "core/qsettings_store.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/settings_files.h"
#include "support/widget_lookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>

namespace kestrum {
namespace {

using testing::child;
using testing::click;
using testing::onDisk;

// The timer settings of output 3, stored in a real settings file.
class AjadDialogTest : public ::testing::Test {
protected:
    AjadDialogTest() {
        testing::removeSettingsFiles();
        file = std::make_unique<QSettingsStore>();
        setup.store = file.get();
        setup.start();
        setup.ui.messages.clear();
        state().EditIndex = 3;
    }
    ~AjadDialogTest() override { testing::removeSettingsFiles(); }
    State& state() { return setup.program->state(); }
    std::unique_ptr<AjadDialog> open() {
        auto dialog = std::make_unique<AjadDialog>(setup.program->outputSettings());
        dialog->show();
        return dialog;
    }
    static void set(QWidget* window, const char* name, const QString& text) {
        child<QLineEdit>(window, name)->setText(text);
    }

    std::unique_ptr<QSettingsStore> file;
    testing::ProgramOnDoubles setup;
};

// A refused name or strobe time keeps the window open; what came before the check is stored.
TEST_F(AjadDialogTest, NamesUpToTwelveAndStrobeTimesFromOneHundredToOneThousand) {
    for (const auto& [name, on, off, message] : std::initializer_list<std::array<const char*, 4>>{
             {"Kolmteist-13x", "100", "100", "Klahvi nimi pikem kui 12 sümbolit !"},
             {"Kaks-tolmu12", "99", "500", "Vale strobolambi põlemise aeg"},
             {"Kaks-tolmu12", "1001", "500", "Vale strobolambi põlemise aeg"},
             {"Kaks-tolmu12", "99.9", "500", "Vale strobolambi põlemise aeg"},
             {"Kaks-tolmu12", "1 000", "1000.5", "Vale strobolambi kustunud oleku aeg"},
             {"Kaks-tolmu12", "100", "x100", "Vale strobolambi kustunud oleku aeg"},
         }) {
        setup.ui.messages.clear();
        auto dialog = open();
        set(dialog.get(), "KlahviNimiText", QString::fromUtf8(name));
        set(dialog.get(), "StroboSeesAegText", QLatin1String(on));
        set(dialog.get(), "StroboValjasAegText", QLatin1String(off));
        click(dialog.get(), "ComOK");
        EXPECT_TRUE(dialog->isVisible()) << name << " " << on << " " << off;
        EXPECT_EQ(setup.ui.messages.at(0).text, QString::fromUtf8(message)) << on << " " << off;
    }
    EXPECT_EQ(onDisk("KlahviNimi", "KlahviNimi 3"), "Kaks-tolmu12");
    EXPECT_EQ(setup.program->panel().outputs[2].frameCaption, "Kaks-tolmu12");
    EXPECT_EQ(onDisk("StroboSees", "StroboSees 3"), "100")
        << "the on time of the last case was taken before its off time failed";
}

// The ordinary workflow: what was typed before an entry was picked, cleared and saved is kept,
// and the strobe chosen last runs at once.
TEST_F(AjadDialogTest, TypedNameAndStrobeTimesSurviveEditingAnEntry) {
    auto dialog = open();
    set(dialog.get(), "KlahviNimiText", "Pump");
    set(dialog.get(), "StroboSeesAegText", "1000");
    set(dialog.get(), "StroboValjasAegText", " 750 ");
    auto* entries = child<QListWidget>(dialog.get(), "LylitumineList");
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {},
                      entries->visualItemRect(entries->item(1)).center());
    ASSERT_EQ(entries->currentRow(), 1);
    click<QToolButton>(dialog.get(), "ComDelTime");
    child<QTimeEdit>(dialog.get(), "SisseAeg")->setTime(QTime(7, 30, 5));
    child<QDateEdit>(dialog.get(), "SisseKuup")->setDate(QDate(2026, 12, 24));
    child<QTimeEdit>(dialog.get(), "ValjaAeg")->setTime(QTime(8, 0));
    click<QToolButton>(dialog.get(), "ComSeiv");
    child<QRadioButton>(dialog.get(), "StroboModeOption")->click();
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(dialog->isVisible());
    const int first = TimeTable<Value>::keyNumber(3, 3);
    for (const auto& [section, key, text] :
         {std::tuple{"Sisseajad", QStringLiteral("Sisseaeg %1").arg(first), "07:30:05"},
          {"Sisseajad", QStringLiteral("Sisseaeg %1").arg(first + 1), "24.12.2026"},
          {"Väljaajad", QStringLiteral("Väljaaeg %1").arg(first), "08:00:00"},
          {"Initsialiseeritud", "Initsialiseeritud 3", "1"},
          {"KlahviNimi", "KlahviNimi 3", "Pump        "},
          {"StroboSees", "StroboSees 3", "1000"},
          {"StroboVäljas", "StroboVäljas 3", "750"},
          {"Mode", "Mode 3", "1"}}) {
        EXPECT_EQ(onDisk(section, key), text) << section;
    }
    EXPECT_EQ(setup.program->timers().StroboTaimer[2]->interval(), 1000);
    EXPECT_TRUE(setup.program->timers().StroboTaimer[2]->isEnabled());
    dialog = open();  // reopened: the entry shows what was saved
    child<QListWidget>(dialog.get(), "LylitumineList")->setCurrentRow(1);
    EXPECT_EQ(child<QTimeEdit>(dialog.get(), "SisseAeg")->time(), QTime(7, 30, 5));
}

TEST_F(AjadDialogTest, ClearingTheOnlyEntryMakesTheOutputManual) {
    state().Sisseajad(1, 3) = "08:00:00";
    state().Initsialiseeritud[3] = 1;
    state().Juhtimine[3] = 1;
    setup.store->write("Juhtimine", "Juhtimine 3", "1");
    setup.store->sync();
    setup.program->panel().outputs[2].autoLampLit = true;
    auto dialog = open();
    click<QToolButton>(dialog.get(), "ComDelTime");
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(setup.program->panel().outputs[2].autoLampLit);
    EXPECT_EQ(onDisk("Juhtimine", "Juhtimine 3"), "0");
    EXPECT_EQ(onDisk("Initsialiseeritud", "Initsialiseeritud 3"), "0");

    state().Sisseajad(21, 3) = 1;  // the daily flag alone counts as times
    dialog = open();
    EXPECT_TRUE(child<QCheckBox>(dialog.get(), "DailyCheck")->isChecked());
    click(dialog.get(), "ComOK");
    EXPECT_TRUE(state().Initsialiseeritud[3] == 1);
}

TEST_F(AjadDialogTest, StrobeThenCancelStrobesForThisRunOnlyAndTimerModeEndsIt) {
    auto dialog = open();
    child<QRadioButton>(dialog.get(), "StroboModeOption")->click();
    EXPECT_FALSE(child<QGroupBox>(dialog.get(), "TimerFrame")->isEnabled());
    click(dialog.get(), "ComCancel");
    EXPECT_TRUE(state().Mode[3] == 1);
    EXPECT_EQ(onDisk("Mode", "Mode 3"), "0");

    dialog = open();
    child<QRadioButton>(dialog.get(), "TimerModeOption")->click();
    EXPECT_TRUE(child<QGroupBox>(dialog.get(), "TimerFrame")->isEnabled());
    click(dialog.get(), "ComOK");
    EXPECT_TRUE(state().Mode[3] == 0);
    EXPECT_FALSE(setup.program->timers().StroboTaimer[2]->isEnabled());
}

// Lights on weekdays from sunset -00:15: the window shows today's time beside the choice,
// stores the new keys and leaves the computed time in the old slot. Without a place no sun
// time can be chosen, and the window says where to set it.
TEST_F(AjadDialogTest, WeekdaysAndASunTimePerEntry) {
    auto dialog = open();
    EXPECT_FALSE(child<QComboBox>(dialog.get(), "SisseKind")->isEnabled());
    EXPECT_TRUE(child<QLabel>(dialog.get(), "NoPlaceLabel")->text().contains("Settings"));

    setup.time.setWallClock(
        QDateTime(QDate(2026, 6, 21), QTime(12, 0), QTimeZone("Europe/Tallinn")));
    state().Latitude = "59.437";
    state().Longitude = "24.7536";
    dialog = open();
    child<QListWidget>(dialog.get(), "LylitumineList")->setCurrentRow(1);
    child<QComboBox>(dialog.get(), "SisseKind")->setCurrentIndex(2);
    child<QSpinBox>(dialog.get(), "SisseOffset")->setValue(-15);
    EXPECT_EQ(child<QLabel>(dialog.get(), "SisseToday")->text(), "today 22:27:33");
    EXPECT_FALSE(child<QTimeEdit>(dialog.get(), "SisseAeg")->isEnabled());
    child<QTimeEdit>(dialog.get(), "ValjaAeg")->setTime(QTime(23, 0));
    for (const char* weekend : {"Paev6", "Paev7"}) {
        child<QCheckBox>(dialog.get(), weekend)->setChecked(false);
    }
    click<QToolButton>(dialog.get(), "ComSeiv");
    child<QListWidget>(dialog.get(), "LylitumineList")->setCurrentRow(0);
    EXPECT_EQ(child<QComboBox>(dialog.get(), "SisseKind")->currentIndex(), 0);
    EXPECT_TRUE(child<QCheckBox>(dialog.get(), "Paev7")->isChecked());
    click(dialog.get(), "ComOK");
    EXPECT_EQ(onDisk("Nädalapäevad", "Nädalapäevad 22"), "1111100");
    EXPECT_EQ(onDisk("PäikeSisse", "PäikeSisse 22"), "loojang -00:15");
    EXPECT_EQ(onDisk("PäikeVälja", "PäikeVälja 22"), "0");
    EXPECT_EQ(
        onDisk("Sisseajad", QStringLiteral("Sisseaeg %1").arg(TimeTable<Value>::keyNumber(3, 3))),
        "22:27:33");
}

}  // namespace
}  // namespace kestrum
