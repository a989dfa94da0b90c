#pragma once

#include "device/simulated_board.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;

namespace kestrum {

// The demo board beside the control panel: its relays as latched, a switch per input and a
// fault choice per output.
class SimulatedBoardWindow : public QWidget {
    Q_OBJECT
public:
    explicit SimulatedBoardWindow(SimulatedBoard& board, QWidget* parent = nullptr);
    ~SimulatedBoardWindow() override;

private:
    void showRelays();

    SimulatedBoard& m_board;
    std::array<QLabel*, 8> m_relays{};
};

}  // namespace kestrum
