#pragma once

#include "app/lifecycle.h"
#include "control/output_control.h"
#include "control/schedule.h"
#include "control/strobe.h"
#include "core/panel.h"
#include "core/panel_actions.h"
#include "core/settings_completion.h"
#include "core/state.h"
#include "core/timers.h"
#include "device/board_link.h"
#include "device/supervision.h"
#include "dialogs/general_settings.h"
#include "dialogs/input_settings.h"
#include "dialogs/output_settings.h"
#include "log/event_log.h"
#include "log/log_viewer.h"
#include "mail/command_executor.h"
#include "mail/mail_backend.h"
#include "mail/mail_session.h"
#include "mail/notifications.h"
#include "mail/processed_mails.h"
#include "mail/replies.h"

namespace kestrum {

// The services the program runs on: real ones in the application, test ones in the tests.
struct Services {
    SettingsStore& store;
    SerialPort& port;
    TimerFactory& timerFactory;
    const Clock& clock;
    Ui& ui;
    MailBackend& mail;
    ProcessedMails& processedMails;
    QString logFilePath;
    QLocale locale = QLocale::system();  // the month names of the date label
};

// Builds the engine's parts over the services and wires them to each other. Nothing runs
// until lifecycle().Form_Load().
class Program : public PanelActions {
public:
    explicit Program(const Services& services);

    void switchClicked(int index) override { m_outputs.Relee_Click(index); }
    void autoClicked(int index) override { m_outputs.Auto_Click(index); }
    void pulseChosen(int index, int minutes) override { m_outputs.startPulse(index + 1, minutes); }
    void allOffClicked() override { m_outputs.ComOFF_Click(); }
    void settingsClicked() override { m_ui.openSettingsDialog(); }
    void aboutClicked() override { m_ui.openAboutWindow(); }
    void mailIndicatorClicked() override { m_mailSession.Image1_Click(); }
    void exitClicked() override { m_lifecycle.ShutDown(); }
    void windowClosing() override { m_lifecycle.Form_Unload(); }

    State& state() { return m_state; }
    Panel& panel() { return m_panel; }
    Timers& timers() { return m_timers; }
    BoardLink& board() { return m_board; }
    OutputControl& outputs() { return m_outputs; }
    CommandExecutor& commands() { return m_commands; }
    GeneralSettings& generalSettings() { return m_generalSettings; }
    OutputSettings& outputSettings() { return m_outputSettings; }
    InputSettings& inputSettings() { return m_inputSettings; }
    LogViewer& logViewer() { return m_logViewer; }
    EventLog& log() { return m_log; }
    Lifecycle& lifecycle() { return m_lifecycle; }

private:
    Ui& m_ui;
    State m_state;
    Panel m_panel;
    Timers m_timers;
    SettingsCompletion m_completion;
    EventLog m_log;
    BoardLink m_board;
    OutputControl m_outputs;
    Schedule m_schedule;
    Strobe m_strobe;
    Replies m_replies;
    CommandExecutor m_commands;
    MailSession m_mailSession;
    Notifications m_notifications;
    Supervision m_supervision;
    GeneralSettings m_generalSettings;
    OutputSettings m_outputSettings;
    InputSettings m_inputSettings;
    LogViewer m_logViewer;
    Lifecycle m_lifecycle;
};

}  // namespace kestrum
