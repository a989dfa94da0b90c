#include "program.h"

namespace kestrum {

Program::Program(const Services& services)
    : m_ui(services.ui),
      m_timers(services.timerFactory),
      m_completion(m_state, m_panel, services.store, services.port, m_timers, services.ui),
      m_log(m_state, services.clock, services.logFilePath),
      m_board(m_state, m_panel, services.port, *m_timers.EventTimer, *m_timers.Timer3),
      m_outputs(m_state, m_panel, services.store, m_board, m_timers, services.ui, services.clock),
      m_schedule(m_state, m_panel, services.store, m_outputs, services.clock, *m_timers.Timer1,
                 services.locale),
      m_strobe(m_state, m_outputs, m_board, m_timers),
      m_replies(m_state, services.clock, services.mail, services.timerFactory,
                services.logFilePath),
      m_commands(m_state, m_panel, services.store, m_outputs, m_log, m_replies),
      m_mailSession(m_state, services.mail, services.processedMails, m_log, m_commands,
                    *m_timers.PostiKell, services.timerFactory, services.ui),
      m_notifications(m_state, services.clock, services.mail, m_log, m_mailSession, services.ui),
      m_supervision(m_state, m_panel, m_log, m_notifications),
      m_generalSettings(m_state, m_panel, services.store, services.port, m_timers, services.ui),
      m_outputSettings(m_state, m_panel, services.store, m_timers, services.ui, services.clock),
      m_inputSettings(m_state, m_panel, services.store, services.ui),
      m_logViewer(services.ui, services.logFilePath),
      m_lifecycle(m_state, m_panel, services.store, services.port, m_timers, services.ui,
                  Lifecycle::Engines{m_completion, m_outputs, m_log}) {
    m_board.setFrameEvaluation([this] { m_supervision.evaluateFrame(); });
}

}  // namespace kestrum
