#pragma once

#include "core/ui.h"

namespace kestrum {

// The requests of a program with no window to show: opening, raising or marking one does
// nothing. What is left to decide is how a message is answered and how the program ends.
class WindowlessUi : public Ui {
public:
    void openSettingsDialog() override {}
    void openAboutWindow() override {}
    void beep() override {}
    void showMainWindow() override {}
    void setBusy(bool) override {}
    void addTrayIcon(const TrayIconRecord&) override {}
    void removeTrayIcon(const TrayIconRecord&) override {}
};

}  // namespace kestrum
