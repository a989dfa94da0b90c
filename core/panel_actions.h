#pragma once

namespace kestrum {

// What the main window forwards to the engine: its clicks, keys and closing.
class PanelActions {
public:
    virtual ~PanelActions() = default;

    // The switch button of output index + 1, or the digit key of that output.
    virtual void switchClicked(int index) = 0;
    virtual void autoClicked(int index) = 0;
    // Output index + 1 on for the minutes, 1 to 1440, from the switch button's menu.
    virtual void pulseChosen(int index, int minutes) = 0;
    virtual void allOffClicked() = 0;
    virtual void settingsClicked() = 0;
    virtual void aboutClicked() = 0;
    // The mail image: check mail now.
    virtual void mailIndicatorClicked() = 0;
    virtual void exitClicked() = 0;
    // The window is closing, by whatever means; the program ends.
    virtual void windowClosing() = 0;
};

}  // namespace kestrum
