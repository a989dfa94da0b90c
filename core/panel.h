#pragma once

#include <QString>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace kestrum {

// Lamp colours as the window shows them: red for on or failed, green for off or sound.
inline constexpr int kColourRed = 255;
inline constexpr int kColourGreen = 65280;

struct OutputIndicators {
    QString frameCaption;
    QString switchCaption = QStringLiteral("S");  // names what a click does: "S" on, "V" off
    int lampColour = kColourGreen;
    bool autoLampLit = false;
    bool failureShown = false;
    // The time left of a pulse, "19:59" or "23:59:59"; empty when none runs.
    QString pulseRemaining;
};

struct InputIndicators {
    QString frameCaption;
    bool lampLit = false;
    bool mailMarkShown = false;
};

// The main window's indicators as plain data. Engine code writes them and then calls
// changed(); the window renders the Panel and holds no behaviour of its own.
class Panel {
public:
    Panel();

    std::array<OutputIndicators, 8> outputs;  // control index: output n is outputs[n - 1]
    std::array<InputIndicators, 8> inputs;
    bool mailIndicatorShown = false;
    QString portLabel = QStringLiteral("COM");
    QString portErrorText;  // why, for the user to act on; empty while opens succeed
    QString dateLabel = QStringLiteral("00-00-0000");
    QString clockLabel = QStringLiteral("00:00:00");
    QString failureLabel;
    int failureLabelColour = kColourGreen;

    // Returns the subscription's number, for unsubscribe().
    int subscribe(std::function<void()> listener);
    void unsubscribe(int subscription);
    void changed() const;

private:
    std::vector<std::pair<int, std::function<void()>>> m_listeners;
    int m_lastSubscription = 0;
};

}  // namespace kestrum
