#pragma once

#include <QSize>

namespace kestrum {

// The circuit window's size and scroll ranges, as parts of the screen it opens on.
struct CircuitGeometry {
    QSize window;
    int verticalBarHeight = 0;
    int verticalMaximum = 0;
    int horizontalBarLeft = 0;
    int horizontalBarWidth = 0;
    int horizontalMaximum = 0;

    static CircuitGeometry forScreen(QSize screen);
    // Whether a bar value may move the picture in a window of the given size; past the limit
    // the picture stays and the user hears a beep.
    static bool horizontalAllowed(int value, int windowWidth) {
        return value <= 0.297 * windowWidth;
    }
    static bool verticalAllowed(int value, int windowHeight) {
        return value <= 0.625 * windowHeight;
    }
};

}  // namespace kestrum
