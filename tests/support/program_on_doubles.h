#pragma once

#include "app/program.h"
#include "device/simulated_board.h"
#include "support/fake_ui.h"
#include "support/memory_mailbox.h"
#include "support/memory_processed_mails.h"
#include "support/memory_settings_store.h"
#include "support/virtual_time.h"

#include <QTemporaryDir>

#include <memory>

namespace kestrum::testing {

// The whole engine on test services: virtual time, an in-memory store (or any other), the
// simulated board and a scripted Ui, with the log in a temporary folder.
struct ProgramOnDoubles {
    ProgramOnDoubles() : board(time) {}

    Program& build() {
        program = std::make_unique<Program>(
            Services{*store, *port, time, time, ui, *mail, *processed, logPath(), locale});
        return *program;
    }
    Program& start() {
        build().lifecycle().Form_Load();
        return *program;
    }
    QString logPath() const { return folder.filePath(QStringLiteral("kaugvoolus.log")); }
    QByteArray logBytes() const;
    QString seaded(const QString& key) const { return store->read(QStringLiteral("Seaded"), key); }
    void set(const QString& section, const QString& key, const QString& text) {
        store->write(section, key, text);
    }
    // "<missing>" for a key the store does not hold.
    QString stored(const QString& section, const QString& key) const {
        return store->read(section, key, QStringLiteral("<missing>"));
    }

    VirtualTime time;
    MemorySettingsStore memory;
    SettingsStore* store = &memory;
    SimulatedBoard board;
    SerialPort* port = &board;
    FakeUi ui;
    MemoryMailbox mailbox;
    MailBackend* mail = &mailbox;
    MemoryProcessedMails processedMemory;
    ProcessedMails* processed = &processedMemory;
    QLocale locale = QLocale::c();
    QTemporaryDir folder;
    std::unique_ptr<Program> program;
};

}  // namespace kestrum::testing
