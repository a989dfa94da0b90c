#pragma once

#include "dialogs/output_settings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
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
    // The sun choice of one of the on and off rows.
    struct SunRow {
        QTimeEdit* time = nullptr;
        QComboBox* kind = nullptr;
        QSpinBox* offset = nullptr;
        QLabel* today = nullptr;
    };
    QWidget* buildSunRow(SunRow& row, const char* name);
    void showSun(SunRow& row, const EntryTime& time);
    static EntryTime chosenSun(const SunRow& row);
    void showToday(SunRow& row);
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
    SunRow m_onSun;
    SunRow m_offSun;
    std::array<QCheckBox*, 7> m_weekdays{};
    QLineEdit* m_strobeOn = nullptr;
    QLineEdit* m_strobeOff = nullptr;
};

}  // namespace kestrum
