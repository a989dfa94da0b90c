#pragma once

#include "core/panel.h"
#include "core/panel_actions.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace kestrum {

class LampWidget;

// The control panel. It renders the Panel and forwards clicks, digit keys and its closing to
// the engine; it holds no behaviour of its own.
class JuhtpultWindow : public QWidget {
    Q_OBJECT
public:
    JuhtpultWindow(Panel& panel, PanelActions& actions, QWidget* parent = nullptr);
    ~JuhtpultWindow() override;

    // With a tray icon to come back from, minimising hides the window.
    void setHidesWhenMinimised(bool hides) { m_hidesWhenMinimised = hides; }
    void restoreFromTray();
    void render();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct OutputControls {
        QGroupBox* frame;
        QPushButton* relee;
        QToolButton* automatic;
        LampWidget* ledSv;
        LampWidget* ledAuto;
        QLabel* failure;
        QLabel* pulse;
    };
    struct InputControls {
        QGroupBox* frame;
        LampWidget* lamp;
        QLabel* mailMark;
    };

    QWidget* buildOutputs();
    QWidget* buildInputs();
    QWidget* buildCommandBar();
    bool handleKey(QEvent* event);
    void choosePulse(int index);

    Panel& m_panel;
    PanelActions& m_actions;
    int m_subscription = 0;
    std::array<OutputControls, 8> m_outputs{};
    std::array<InputControls, 8> m_inputs{};
    QToolButton* m_mailIndicator = nullptr;
    QLabel* m_portLabel = nullptr;
    QLabel* m_dateLabel = nullptr;
    QLabel* m_clockLabel = nullptr;
    QLabel* m_failureLabel = nullptr;
    bool m_hidesWhenMinimised = false;
    bool m_closing = false;
};

}  // namespace kestrum
