#include "port_choice.h"

namespace kestrum {

PortChoice::PortChoice(SerialPort& port, Panel& panel) : m_port(port), m_panel(panel) {}

int PortChoice::stored(const SettingsStore& store) {
    return Value(store.read(sections::Seaded, general::Jarjestikport.key, QStringLiteral("0")))
        .toInt();
}

bool PortChoice::opens(int number) {
    m_port.setCommPort(number);
    const bool opened = m_port.open();
    m_port.close();
    return opened;
}

void PortChoice::select(int number) {
    m_port.setCommPort(number);
    show();
}

void PortChoice::show() {
    m_panel.portLabel = QString::number(m_port.commPort());
}

void PortChoice::writeChoice(SettingsStore& store, int number) {
    store.write(sections::Seaded, general::Jarjestikport.key, QString::number(number));
    store.sync();
}

bool PortChoice::complete(SettingsStore& store) {
    if (stored(store) > 0) {
        return true;
    }
    const int first = general::Jarjestikport.completionText.toInt();
    const bool kept = opens(first) || m_port.deviceNamed();
    const int number = kept ? first : 2;
    select(number);
    skipOnStoreError([&] { writeChoice(store, number); });
    return kept;
}

void PortChoice::chooseAtStartUp(const SettingsStore& store) {
    int number = stored(store);
    if (number <= 0) {
        number = general::Jarjestikport.startupDefault.toInt();
    }
    if (!opens(number) && (m_port.deviceNamed() || !opens(2))) {
        m_port.setCommPort(number);
    }
    show();
}

bool PortChoice::takeChosen(int chosen, State& state, SettingsStore& store) {
    if (!opens(chosen)) {
        return false;
    }
    writeChoice(store, chosen);
    state.Jarjestikport = chosen;
    show();
    return true;
}

void PortChoice::setBack(int previous) {
    select(previous);
}

bool PortChoice::openWithFallback(const std::function<bool()>& open) {
    if (open()) {
        return true;
    }
    if (m_port.deviceNamed()) {
        return false;
    }
    m_port.close();
    select(m_port.commPort() == 1 ? 2 : 1);
    return open();
}

}  // namespace kestrum
