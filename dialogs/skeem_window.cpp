#include "skeem_window.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSvgRenderer>

namespace kestrum {

SkeemWindow::SkeemWindow(Ui& ui, QSize screen, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("Skeem"));
    setWindowTitle(QStringLiteral("Kaugvoole's hardware"));
    setModal(true);
    const CircuitGeometry geometry = CircuitGeometry::forScreen(screen);
    resize(geometry.window);

    QPixmap drawing(kPictureSize);
    drawing.fill(Qt::white);
    QPainter painter(&drawing);
    QSvgRenderer(QStringLiteral(":/circuit.svg")).render(&painter);
    painter.end();
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setPixmap(drawing);
    m_picture->setGeometry(QRect(QPoint(0, 0), kPictureSize));

    m_vertical = new QScrollBar(Qt::Vertical, this);
    m_vertical->setObjectName(QStringLiteral("VScroll1"));
    m_vertical->setGeometry(0, 0, 16, geometry.verticalBarHeight);
    m_vertical->setRange(0, geometry.verticalMaximum);
    m_horizontal = new QScrollBar(Qt::Horizontal, this);
    m_horizontal->setObjectName(QStringLiteral("HScroll1"));
    m_horizontal->setGeometry(geometry.horizontalBarLeft, 0, geometry.horizontalBarWidth, 16);
    m_horizontal->setRange(0, geometry.horizontalMaximum);
    connect(m_horizontal, &QScrollBar::valueChanged, this, &SkeemWindow::HScroll1_Change);
    connect(m_vertical, &QScrollBar::valueChanged, this, &SkeemWindow::VScroll1_Change);
}

void SkeemWindow::HScroll1_Change(int value) {
    if (CircuitGeometry::horizontalAllowed(value, width())) {
        m_picture->move(-value, m_picture->y());
    } else {
        m_ui.beep();
    }
}

void SkeemWindow::VScroll1_Change(int value) {
    if (CircuitGeometry::verticalAllowed(value, height())) {
        m_picture->move(m_picture->x(), -value);
    } else {
        m_ui.beep();
    }
}

}  // namespace kestrum
