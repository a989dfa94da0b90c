#include "simulated_board_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

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

namespace {

constexpr int kGap = 12;

// The start of a span of `length` in [first, last], as near `wanted` as it fits; the first
// position when it cannot fit.
int within(int wanted, int length, int first, int last) {
    return std::max(first, std::min(wanted, last + 1 - length));
}

}  // namespace

BoardPlacement placeBoardBesidePanel(const QRect& available, const QRect& panel, QSize board) {
    const int panelX = within(panel.x(), panel.width(), available.left(), available.right());
    const int panelY = within(panel.y(), panel.height(), available.top(), available.bottom());
    QRect shown(QPoint(panelX, panelY), panel.size());
    const auto besideAt = [&](int x) {
        return BoardPlacement{
            shown.topLeft(),
            {x, within(shown.y(), board.height(), available.top(), available.bottom())}};
    };
    if (shown.right() + kGap + board.width() <= available.right()) {
        return besideAt(shown.right() + 1 + kGap);
    }
    if (shown.left() - kGap - board.width() >= available.left()) {
        return besideAt(shown.left() - kGap - board.width());
    }
    const int together = panel.width() + kGap + board.width();
    if (together <= available.width()) {
        shown.moveLeft(available.left() + (available.width() - together) / 2);
        return besideAt(shown.right() + 1 + kGap);
    }
    const int stacked = panel.height() + kGap + board.height();
    if (shown.bottom() + kGap + board.height() > available.bottom()) {
        shown.moveTop(
            within(available.bottom() + 1 - stacked, stacked, available.top(), available.bottom()));
    }
    return {
        shown.topLeft(),
        {within(shown.x(), board.width(), available.left(), available.right()),
         within(shown.bottom() + 1 + kGap, board.height(), available.top(), available.bottom())}};
}

void showBesidePanel(QWidget& panel, QWidget& board) {
    // The board's frame is not known before it is shown: it gets the panel's.
    const QSize frame = panel.frameGeometry().size() - panel.size();
    board.adjustSize();
    const BoardPlacement placement = placeBoardBesidePanel(
        panel.screen()->availableGeometry(), panel.frameGeometry(), board.size() + frame);
    panel.move(placement.panel);
    board.move(placement.board);
    // The digit keys switch outputs on the panel: it keeps the keyboard.
    board.setAttribute(Qt::WA_ShowWithoutActivating);
    board.show();
}

}  // namespace kestrum
