#pragma once

#include "control/entry_timing.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timer.h"
#include "core/timers.h"
#include "core/ui.h"

#include <QDate>
#include <QTime>

namespace kestrum {

// What the timer settings window shows for output EditIndex.
struct OutputForm {
    QString name;
    int entry = 1;  // 1..10
    QTime onTime;
    QDate onDate;
    QTime offTime;
    QDate offDate;
    bool daily = false;
    Weekdays weekdays;
    EntryTime onKind;
    EntryTime offKind;
    bool strobe = false;
    QString strobeOn;
    QString strobeOff;
};

// One output's name, drive mode, ten switching entries with the daily flag and strobe times.
// Entries and the mode act on the tables at once; OK checks and stores all eight outputs.
class OutputSettings {
public:
    OutputSettings(State& state, Panel& panel, SettingsStore& store, Timers& timers, Ui& ui,
                   const Clock& clock);

    // What the window shows as it opens (its Form_Load).
    OutputForm formOnOpening();
    // Shows entry k of the tables in the pickers.
    void LylitumineList_Click(OutputForm& form, int entry);
    void ComSeiv_Click(const OutputForm& form);
    void ComDelTime_Click(OutputForm& form);
    void TimerModeOption_Click(OutputForm& form);
    void StroboModeOption_Click(OutputForm& form);
    // True when the window may close; a refusal has been told to the user.
    bool ComOK_Click(OutputForm& form);

    // Whether a place is set, without which no sun time can be chosen.
    bool hasPlace() const;
    // Today's moment of a sun time, or why there is none; empty for a clock time.
    QString sunToday(const EntryTime& time);

private:
    int output() const { return m_state.EditIndex.toInt(); }
    // Today's moment of a sun time, or why there is none; nothing for a clock time or without
    // a place.
    std::optional<SunOnDay> sunOnToday(const EntryTime& time);

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    Timers& m_timers;
    Ui& m_ui;
    const Clock& m_clock;
    SunTimes m_sun;
};

// A number read as far as its text allows: blanks ignored, reading stops at the first
// character that cannot continue it, and no digits give 0 ("1 50x" is 150).
double leadingNumber(const QString& text);

// A name padded with blanks to the stored length, when it is shorter.
QString paddedName(const QString& name, qsizetype length);

}  // namespace kestrum
