#include "simulated_board_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kestrum {

SimulatedBoardWindow::SimulatedBoardWindow(SimulatedBoard& board, QWidget* parent)
    : QWidget(parent), m_board(board) {
    setObjectName(QStringLiteral("SimulatedBoard"));
    setWindowTitle(QStringLiteral("Simulated board"));
    auto* layout = new QVBoxLayout(this);

    auto* relays = new QGroupBox(QStringLiteral("Relays"), this);
    auto* relayGrid = new QGridLayout(relays);
    for (int k = 1; k <= 8; ++k) {
        relayGrid->addWidget(new QLabel(QStringLiteral("Output %1").arg(k), relays), k - 1, 0);
        auto* relay = new QLabel(relays);
        relay->setObjectName(QStringLiteral("relay%1").arg(k));
        relay->setMinimumWidth(48);
        relay->setAlignment(Qt::AlignCenter);
        m_relays[k - 1] = relay;
        relayGrid->addWidget(relay, k - 1, 1);
        auto* fault = new QComboBox(relays);
        fault->setObjectName(QStringLiteral("fault%1").arg(k));
        fault->addItem(QStringLiteral("none"),
                       QVariant::fromValue(int(SimulatedBoard::Fault::None)));
        fault->addItem(QStringLiteral("stuck off"),
                       QVariant::fromValue(int(SimulatedBoard::Fault::StuckOff)));
        fault->addItem(QStringLiteral("stuck on"),
                       QVariant::fromValue(int(SimulatedBoard::Fault::StuckOn)));
        fault->setToolTip(QStringLiteral("What the board reads back for this output"));
        connect(fault, &QComboBox::currentIndexChanged, this, [this, k, fault] {
            m_board.setFault(k, static_cast<SimulatedBoard::Fault>(fault->currentData().toInt()));
        });
        relayGrid->addWidget(fault, k - 1, 2);
    }
    layout->addWidget(relays);

    auto* inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    auto* inputGrid = new QGridLayout(inputs);
    for (int k = 1; k <= 8; ++k) {
        auto* input = new QCheckBox(QStringLiteral("Input %1").arg(k), inputs);
        input->setObjectName(QStringLiteral("input%1").arg(k));
        input->setChecked(m_board.input(k));
        connect(input, &QCheckBox::toggled, this, [this, k](bool on) { m_board.setInput(k, on); });
        inputGrid->addWidget(input, (k - 1) / 4, (k - 1) % 4);
    }
    layout->addWidget(inputs);

    m_board.setOnRelaysLatched([this] { showRelays(); });
    showRelays();
}

SimulatedBoardWindow::~SimulatedBoardWindow() {
    m_board.setOnRelaysLatched({});
}

void SimulatedBoardWindow::showRelays() {
    for (int k = 1; k <= 8; ++k) {
        const bool on = m_board.relay(k);
        m_relays[k - 1]->setText(on ? QStringLiteral("ON") : QStringLiteral("off"));
        m_relays[k - 1]->setStyleSheet(on ? QStringLiteral("background: #e53935; color: white")
                                          : QStringLiteral("background: #c8e6c9"));
    }
}

}  // namespace kestrum
