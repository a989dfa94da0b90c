#include "panel.h"

namespace kestrum {

Panel::Panel() {
    for (int i = 0; i < 8; ++i) {
        outputs[i].frameCaption = QStringLiteral("Output %1").arg(i + 1);
        inputs[i].frameCaption = QStringLiteral("Input %1").arg(i + 1);
    }
}

int Panel::subscribe(std::function<void()> listener) {
    m_listeners.emplace_back(++m_lastSubscription, std::move(listener));
    return m_lastSubscription;
}

void Panel::unsubscribe(int subscription) {
    std::erase_if(m_listeners, [subscription](const auto& l) { return l.first == subscription; });
}

void Panel::changed() const {
    for (const auto& entry : m_listeners) {
        entry.second();
    }
}

}  // namespace kestrum
