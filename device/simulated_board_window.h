#pragma once

#include "device/simulated_board.h"

#include <QRect>
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

// Where the panel and the board's window go, as frames in the screen's available area: the
// board beside the panel (right, else left), the panel moved only when neither side has room
// but the area is wide enough for both; else the board below the panel. Neither leaves the
// area where it fits in it, and the board covers the panel only where the area cannot hold both.
struct BoardPlacement {
    QPoint panel;
    QPoint board;
};
BoardPlacement placeBoardBesidePanel(const QRect& available, const QRect& panel, QSize board);

// Moves the panel and shows the board's window placed as above, on the panel's screen.
void showBesidePanel(QWidget& panel, QWidget& board);

}  // namespace kestrum
