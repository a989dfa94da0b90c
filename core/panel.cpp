#include "panel.h"

namespace kestrum {

Panel::Panel() {
    for (int i = 0; i < 8; ++i) {
        outputs[i].frameCaption = QStringLiteral("Output %1").arg(i + 1);
        inputs[i].frameCaption = QStringLiteral("Input %1").arg(i + 1);
    }
}

void Panel::subscribe(std::function<void()> listener) {
    m_listeners.push_back(std::move(listener));
}

void Panel::changed() const {
    for (const auto& listener : m_listeners) {
        listener();
    }
}

}  // namespace kestrum
