#pragma once

#include "core/ui.h"

namespace kestrum {

// Shows the program busy for as long as it lives: a mail exchange holds the window.
class BusyIndicator {
public:
    explicit BusyIndicator(Ui& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyIndicator() { m_ui.setBusy(false); }
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

private:
    Ui& m_ui;
};

}  // namespace kestrum
