#include "timers.h"

namespace kestrum {

Timers::Timers(TimerFactory& factory)
    : EventTimer(factory.createTimer()),
      Timer1(factory.createTimer()),
      Timer3(factory.createTimer()),
      PostiKell(factory.createTimer()) {
    for (auto& timer : StroboTaimer) {
        timer = factory.createTimer();
    }
}

void Timers::disableAll() {
    EventTimer->setEnabled(false);
    Timer1->setEnabled(false);
    Timer3->setEnabled(false);
    PostiKell->setEnabled(false);
    for (auto& timer : StroboTaimer) {
        timer->setEnabled(false);
    }
}

}  // namespace kestrum
