#pragma once

#include "device/serial_devices.h"
#include "dialogs/general_settings.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrum {

// "Kestrum's settings": the general settings, with buttons to the output, input, log and
// circuit windows, which the application opens.
class SeadedDialog : public QDialog {
    Q_OBJECT
public:
    // What the window reaches through the application: the windows it opens, the log file, the
    // serial devices and the start at log-in. Each link from deviceOf on may be left unset,
    // which leaves its control out or disabled.
    struct Links {
        std::function<void(QWidget*)> editOutput;  // EditIndex is set first
        std::function<void(QWidget*)> editInput;
        std::function<void(QWidget*)> readLog;
        std::function<void()> deleteLog;
        std::function<void(QWidget*)> showCircuit;
        std::function<QString(int port)> deviceOf;
        // The devices to choose from; unset where the board is not on a serial port.
        std::function<QList<SerialDeviceChoice>()> listDevices;
        std::function<void(QWidget*)> editMailAccount;
        // Starting with the desktop session: whether it does, and switching it, which gives
        // the reason for the user when that failed.
        std::function<bool()> startsAtLogin;
        std::function<QString(bool on)> setStartAtLogin;
        std::function<void(QWidget*)> editMqtt;
        std::function<void(QWidget*)> editWeb;
    };

    SeadedDialog(GeneralSettings& settings, Links links, QWidget* parent = nullptr);

private:
    void load();
    void display(const GeneralForm& form);
    GeneralForm read() const;
    void showDevice();
    void listDevices();
    QString chosenDevice() const;
    void takeStartAtLogin();
    void accept() override;
    void reject() override;

    GeneralSettings& m_settings;
    Links m_links;
    QComboBox* m_port = nullptr;
    QComboBox* m_device = nullptr;
    std::array<QPushButton*, 8> m_outputs{};
    std::array<QPushButton*, 8> m_inputs{};
    QCheckBox* m_mailEnabled = nullptr;
    QCheckBox* m_prefAdrOnly = nullptr;
    QLineEdit* m_prefAdrText = nullptr;
    QLineEdit* m_prefAdrText1 = nullptr;
    QCheckBox* m_verifiedSenders = nullptr;
    QLineEdit* m_authServId = nullptr;
    QLineEdit* m_latitude = nullptr;
    QLineEdit* m_longitude = nullptr;
    QComboBox* m_period = nullptr;
    QCheckBox* m_confirm = nullptr;
    QCheckBox* m_passwordRequired = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_logging = nullptr;
    QCheckBox* m_supervision = nullptr;
    QCheckBox* m_remoteControl = nullptr;
    QCheckBox* m_startAtLogin = nullptr;
    GeneralForm m_form;
};

}  // namespace kestrum
