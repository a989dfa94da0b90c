#pragma once

#include <QString>

#include <chrono>

namespace kestrum {

// How the VMime back end talks to the servers.
struct MailOptions {
    // The longest any one network operation may take, from its start to its end.
    std::chrono::milliseconds deadline{std::chrono::seconds(30)};
    // A PEM file of certificate authorities trusted besides the system ones; empty for none.
    QString extraCaFile;
};

}  // namespace kestrum
