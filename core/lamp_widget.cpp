#include "lamp_widget.h"

#include <QPainter>

namespace kestrum {

LampWidget::LampWidget(int diameter, QWidget* parent) : QWidget(parent), m_colour(Qt::black) {
    setFixedSize(diameter, diameter);
}

void LampWidget::setColour(int panelColour) {
    const QColor colour(panelColour & 0xFF, (panelColour >> 8) & 0xFF, (panelColour >> 16) & 0xFF);
    if (colour != m_colour) {
        m_colour = colour;
        update();
    }
}

void LampWidget::setLit(bool lit) {
    if (lit != m_lit) {
        m_lit = lit;
        update();
    }
}

void LampWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_colour.darker(160), 1.5));
    painter.setBrush(m_lit ? QBrush(m_colour) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

}  // namespace kestrum
