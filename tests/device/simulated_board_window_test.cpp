#include "device/simulated_board_window.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

enum class Side { Right, Left, Below };

// Frames as a window manager draws them: the panel and the board with their title bars, on
// screens with a task bar below.
TEST(BoardPlacementTest, TheBoardOpensBesideThePanelInsideTheAreaNeverOverIt) {
    const QSize panelSize(802, 407);
    const QSize board(338, 394);
    const struct {
        const char* what;
        QRect available;
        QPoint panel;
        Side side;
    } cases[] = {
        {"room on the right", {0, 0, 1366, 738}, {0, 0}, Side::Right},
        {"room on the left only", {0, 0, 1366, 738}, {564, 100}, Side::Left},
        {"centred panel, room for both", {0, 0, 1366, 738}, {283, 180}, Side::Right},
        {"title bar above the screen", {0, 0, 1366, 738}, {283, -20}, Side::Right},
        {"second screen", {1366, 0, 1366, 738}, {1600, 300}, Side::Right},
        {"too narrow for both", {0, 0, 1024, 1000}, {111, 500}, Side::Below},
    };
    for (const auto& c : cases) {
        const BoardPlacement placed =
            placeBoardBesidePanel(c.available, QRect(c.panel, panelSize), board);
        const QRect panel(placed.panel, panelSize);
        const QRect shown(placed.board, board);
        EXPECT_TRUE(c.available.contains(panel)) << c.what;
        EXPECT_TRUE(c.available.contains(shown)) << c.what;
        EXPECT_FALSE(panel.intersects(shown)) << c.what;
        const Side side = shown.left() > panel.right()   ? Side::Right
                          : shown.right() < panel.left() ? Side::Left
                                                         : Side::Below;
        EXPECT_EQ(side, c.side) << c.what;
        if (c.panel.x() + panelSize.width() + 12 + board.width() <= c.available.right() &&
            c.available.contains(QRect(c.panel, panelSize))) {
            EXPECT_EQ(placed.panel, c.panel) << c.what << ": a panel with room stays put";
        }
    }
}

}  // namespace
}  // namespace kestrum
