#pragma once

#include "timer.h"

#include <array>
#include <memory>

namespace kestrum {

// Every timer of the main window, created once and shared by the classes that drive them.
struct Timers {
    explicit Timers(TimerFactory& factory);

    std::unique_ptr<Timer> EventTimer;                   // board scan
    std::unique_ptr<Timer> Timer1;                       // clock and time schedule
    std::unique_ptr<Timer> Timer3;                       // settle wait inside the board scan
    std::unique_ptr<Timer> PostiKell;                    // mail countdown, one tick a minute
    std::array<std::unique_ptr<Timer>, 8> StroboTaimer;  // control index: output n uses n - 1

    void disableAll();
};

}  // namespace kestrum
