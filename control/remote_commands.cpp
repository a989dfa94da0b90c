#include "remote_commands.h"

#include <QStringList>

#include <array>

namespace kestrum {

namespace {

// In the order of RemoteCommand, which indexes it.
constexpr std::array<RemoteCommandEntry, 4> kRemoteCommands{{
    {RemoteCommand::On, "SISSE_KOHE", "ON", RemoteCommandKind::Switching, true},
    {RemoteCommand::Off, "VALJA_KOHE", "OFF", RemoteCommandKind::Switching, false},
    {RemoteCommand::Auto, "AUTO", "AUTO", RemoteCommandKind::ControlMode, true},
    {RemoteCommand::Manual, "KASI", "MANUAL", RemoteCommandKind::ControlMode, false},
}};

constexpr bool inOrderOfRemoteCommand() {
    for (std::size_t i = 0; i < kRemoteCommands.size(); ++i) {
        if (static_cast<std::size_t>(kRemoteCommands[i].command) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOrderOfRemoteCommand());

}  // namespace

const RemoteCommandEntry& remoteCommand(RemoteCommand command) {
    return kRemoteCommands[static_cast<std::size_t>(command)];
}

const RemoteCommandEntry* remoteCommandOfMailAction(const QString& action) {
    if (!action.startsWith(QLatin1Char('_')) && !action.startsWith(QLatin1Char('-'))) {
        return nullptr;
    }
    for (const RemoteCommandEntry& entry : kRemoteCommands) {
        if (QStringView(action).mid(1).startsWith(QLatin1String(entry.mailAction))) {
            return &entry;
        }
    }
    return nullptr;
}

const RemoteCommandEntry* remoteCommandOfWord(RemoteCommandKind kind, const QByteArray& word) {
    for (const RemoteCommandEntry& entry : kRemoteCommands) {
        if (entry.kind == kind && word == entry.word) {
            return &entry;
        }
    }
    return nullptr;
}

QString remoteCommandWords(RemoteCommandKind kind) {
    QStringList words;
    for (const RemoteCommandEntry& entry : kRemoteCommands) {
        if (entry.kind == kind) {
            words << QLatin1String(entry.word);
        }
    }
    return words.join(QStringLiteral(" or "));
}

}  // namespace kestrum
