#pragma once

#include "one_based.h"
#include "value.h"

#include <QString>
#include <QStringList>

namespace kestrum {

// Every line break of the mails and of the log file: carriage return, line feed.
inline const QString kNewLine = QStringLiteral("\r\n");

// What the tray icon needs from start-up; built once and used again to remove the icon.
struct TrayIconRecord {
    QString tip;
};

// The program-wide variables. Most mirror a settings key and carry its name; a change takes
// effect in the store only when the class that made it saves it.
struct State {
    using PerOutput = OneBased<Value, 8>;
    using PerInput = OneBased<Value, 8>;
    using PerEntry = OneBased<Value, 80>;

    // Per output and per input, numbered 1..8.
    PerOutput KlahviNimi;
    PerInput SisendiNimi;
    PerOutput Mode;
    PerOutput Juhtimine;
    PerOutput Valjundid;
    PerOutput Initsialiseeritud;
    PerOutput StroboSees;
    PerOutput StroboValjas;
    PerInput SisendiMuutuseMail;
    TimeTable<Value> Sisseajad;
    TimeTable<Value> Valjaajad;
    // What each entry adds to the slots, numbered 10 * (output - 1) + entry: its weekdays and
    // whether its on and off times are clock times or sun times.
    PerEntry Nadalapaevad;
    PerEntry PaikeSisse;
    PerEntry PaikeValja;
    // When each output's pulse ends, "0" for none.
    PerOutput PulsiLopp;

    // General settings, section "Seaded".
    Value MailEnabled;
    Value PrefAdrOnly;
    Value PrefAdrText;
    Value PrefAdrText1;
    Value MailCheckInt;
    Value Confirm;
    Value ParoolLubatud;
    Value Subjekt;
    Value Logi;
    Value ControlEnabled;
    Value Jarjestikport;
    Value VerifiedSenders;
    Value AuthServId;
    Value Latitude;
    Value Longitude;
    Value RemoteControl;  // 0 after the all-off: remotes other than mail are refused

    // Run-time state, never stored.
    Value MailCountdown;
    Value NewLine;
    Value CommandText;
    Value LastCommand;
    Value ExecutedCommands;
    Value LastMailError;
    Value FailureReported;
    Value FailuresPending;
    PerOutput OutputFailed;
    // The last full scan read output k back at a level other than the wanted one; kept whether or
    // not supervision is on, for the remotes that show what the board did.
    PerOutput OutputDiffers;
    Value BoardRead;  // 1 while scans read the board, 0 while the port cannot be opened
    OneBased<Value, 16> ReadBack;  // 1..8 read-back of the outputs, 9..16 inputs 1..8
    PerInput PreviousInputs;
    PerOutput FailureAnnounced;
    Value SettleWaitDone;
    Value EditIndex;
    TrayIconRecord TrayIconData;
};

// The text forms of a per-output or per-input table, output 1 first, as the store keeps them.
QStringList textsOf(const State::PerOutput& table);
QStringList textsOf(const State::PerEntry& table);
// The slots of a time table in the order of their key numbers, 1..168.
QStringList textsOf(const TimeTable<Value>& table);

}  // namespace kestrum
