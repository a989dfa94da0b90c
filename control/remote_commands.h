#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// The commands a remote (mail, MQTT, the web panel) gives one output.
enum class RemoteCommand { On, Off, Auto, Manual };

// Switching an output on or off now, or handing it to the schedule and taking it back. MQTT
// takes each kind on a topic of its own, the web panel on a path of its own.
enum class RemoteCommandKind { Switching, ControlMode };

// One command as every remote names it, and what it does.
struct RemoteCommandEntry {
    RemoteCommand command;
    // The action after KOORMUS_<k> in a mail, and in the log whichever remote sent it.
    const char* mailAction;
    // The payload on MQTT and the body on the web panel.
    const char* word;
    RemoteCommandKind kind;
    // Switching: on (true) or off. Control mode: handed to the schedule (true) or taken back.
    bool on;
};

const RemoteCommandEntry& remoteCommand(RemoteCommand command);
// The command whose mail action the action of a mail starts with, after its separator '_' or
// '-' ("_AUTO", "-SISSE_KOHE"); nullptr for none.
const RemoteCommandEntry* remoteCommandOfMailAction(const QString& action);
// The command of that kind named by the word; nullptr for none.
const RemoteCommandEntry* remoteCommandOfWord(RemoteCommandKind kind, const QByteArray& word);
// The words of a kind, for a message: "ON or OFF".
QString remoteCommandWords(RemoteCommandKind kind);

}  // namespace kestrum
