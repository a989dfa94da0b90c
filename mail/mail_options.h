#pragma once

#include <QString>

#include <chrono>

namespace kestrum {

// How the VMime back end talks to the servers.
struct MailOptions {
    // The longest any one network operation may take, from its start to its end.
    std::chrono::milliseconds deadline{std::chrono::seconds(30)};
    // The longest a whole session may take, from sign-on to sign-off; time the user spends in
    // the log-on dialog does not count.
    std::chrono::milliseconds sessionLimit{std::chrono::seconds(60)};
    // A PEM file of certificate authorities trusted besides the system ones; empty for none.
    QString extraCaFile;
};

}  // namespace kestrum
