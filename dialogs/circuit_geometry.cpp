#include "circuit_geometry.h"

#include <cmath>

namespace kestrum {

CircuitGeometry CircuitGeometry::forScreen(QSize screen) {
    const double width = screen.width();
    const double height = screen.height();
    const double w = width - 0.2 * width;
    const double h = height - 0.2 * height;
    CircuitGeometry geometry;
    geometry.window = QSize(static_cast<int>(std::lround(w)), static_cast<int>(std::lround(h)));
    geometry.verticalBarHeight = static_cast<int>(std::lround(h - 0.044 * height));
    geometry.verticalMaximum = static_cast<int>(std::lround(0.625 * h));
    geometry.horizontalBarLeft = static_cast<int>(std::lround(0.02 * width));
    geometry.horizontalBarWidth = static_cast<int>(std::lround(w - 0.03 * width));
    geometry.horizontalMaximum = static_cast<int>(std::lround(0.297 * w));
    return geometry;
}

}  // namespace kestrum
