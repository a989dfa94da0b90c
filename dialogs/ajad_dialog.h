#pragma once

#include "dialogs/output_settings.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTimeEdit;

namespace kestrum {

// "Timer settings" of one output: name, drive mode, ten switching entries and strobe times.
class AjadDialog : public QDialog {
    Q_OBJECT
public:
    explicit AjadDialog(OutputSettings& settings, QWidget* parent = nullptr);

private:
    void showEntry();
    void readPickers();
    void showMode();
    void accept() override;

    OutputSettings& m_settings;
    OutputForm m_form;
    QLineEdit* m_name = nullptr;
    QRadioButton* m_timerMode = nullptr;
    QRadioButton* m_strobeMode = nullptr;
    QGroupBox* m_timerFrame = nullptr;
    QGroupBox* m_strobeFrame = nullptr;
    QListWidget* m_entries = nullptr;
    QTimeEdit* m_onTime = nullptr;
    QDateEdit* m_onDate = nullptr;
    QTimeEdit* m_offTime = nullptr;
    QDateEdit* m_offDate = nullptr;
    QCheckBox* m_daily = nullptr;
    QLineEdit* m_strobeOn = nullptr;
    QLineEdit* m_strobeOff = nullptr;
};

}  // namespace kestrum
