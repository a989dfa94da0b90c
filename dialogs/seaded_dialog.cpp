#include "seaded_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

namespace {

template <typename W>
W* named(W* widget, const char* name, const QString& toolTip = {}) {
    widget->setObjectName(QLatin1String(name));
    if (!toolTip.isEmpty()) {
        widget->setToolTip(toolTip);
    }
    return widget;
}

// Adapters come and go: the list is read again whenever the user opens it.
class DeviceCombo : public QComboBox {
public:
    explicit DeviceCombo(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}
    void showPopup() override {
        m_refresh();
        // The box stays narrow; the list is as wide as its longest entry.
        view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_refresh;
};

}  // namespace

SeadedDialog::SeadedDialog(GeneralSettings& settings, Links links, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_links(std::move(links)) {
    setObjectName(QStringLiteral("Seaded"));
    setWindowTitle(QStringLiteral("Kestrum's settings"));
    setModal(true);

    auto* mail = new QGroupBox(QStringLiteral("E-mail"), this);
    auto* mailForm = new QFormLayout(mail);
    m_mailEnabled =
        named(new QCheckBox(QStringLiteral("Enable e-mail control")), "MailEnabledCheck");
    m_prefAdrOnly =
        named(new QCheckBox(QStringLiteral("Listen only following adresses:")), "PrefAdrOnlyCheck");
    m_prefAdrText = named(new QLineEdit, "PrefAdrText",
                          QStringLiteral("1.lubatud meiliaadress, sellele saadetakse kinnitus."));
    m_prefAdrText1 = named(new QLineEdit, "PrefAdrText1",
                           QStringLiteral("2. lubatud meiliaadress, siia kinnitust EI SAADETA!"));
    const QString verifiedTip = QStringLiteral(
        "A sender address is easy to forge. With this on, a mail is taken only when your own "
        "incoming mail server checked it and wrote so into the mail: an Authentication-Results "
        "header with the server's name below, saying dmarc=pass, or dkim=pass for the domain of "
        "the sender's address. Ask your mail provider whether its server adds that header and "
        "under which name (for example mx.example.org); mails without it are then deleted "
        "unread.");
    m_verifiedSenders =
        named(new QCheckBox(QStringLiteral("Only if my mail server verified the sender")),
              "VerifiedSendersCheck", verifiedTip);
    m_authServId = named(new QLineEdit, "AuthServIdText", verifiedTip);
    m_authServId->setPlaceholderText(QStringLiteral("mx.example.org"));
    auto* verified = new QHBoxLayout;
    verified->addSpacing(20);
    verified->addWidget(new QLabel(QStringLiteral("Mail server:")));
    verified->addWidget(m_authServId);
    m_period = named(new QComboBox, "MailCheckIntList");
    m_period->addItems({QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15")});
    auto* period = new QHBoxLayout;
    period->addWidget(m_period);
    period->addWidget(new QLabel(QStringLiteral("min")));
    period->addStretch();
    m_confirm = named(new QCheckBox(QStringLiteral("Confirm executing commands")), "ConfirmCheck");
    m_passwordRequired =
        named(new QCheckBox(QStringLiteral("Require password (next line)")), "PWDEnabledCheck");
    m_password = named(new QLineEdit, "SubjectText", QStringLiteral("arvestatav subjekt"));
    mailForm->addRow(m_mailEnabled);
    mailForm->addRow(m_prefAdrOnly);
    mailForm->addRow(m_prefAdrText);
    mailForm->addRow(m_prefAdrText1);
    mailForm->addRow(m_verifiedSenders);
    mailForm->addRow(verified);
    mailForm->addRow(QStringLiteral("Mail check period"), period);
    mailForm->addRow(m_confirm);
    mailForm->addRow(m_passwordRequired);
    mailForm->addRow(new QLabel(QStringLiteral("Password (from mails subject line)")));
    mailForm->addRow(m_password);
    if (m_links.editMailAccount) {
        auto* account = named(new QPushButton(QStringLiteral("Mail &account...")), "ComAccount",
                              QStringLiteral("Incoming and outgoing server, user, password and "
                                             "sender address, with a test of both servers"));
        connect(account, &QPushButton::clicked, this, [this] { m_links.editMailAccount(this); });
        mailForm->addRow(account);
    }

    auto* general = new QGroupBox(QStringLiteral("Program"), this);
    auto* generalForm = new QFormLayout(general);
    m_logging = named(new QCheckBox(QStringLiteral("Enable logging")), "LogCheck");
    m_supervision =
        named(new QCheckBox(QStringLiteral("Send warning if output fails")), "ControlCheck");
    m_remoteControl =
        named(new QCheckBox(QStringLiteral("Obey MQTT and web commands")), "RemoteControlCheck",
              QStringLiteral("The red all-off turns this off, so that no remote "
                             "can switch a load on again until you allow it here"));
    m_port = named(new QComboBox, "PortCombo", QStringLiteral("Sidepordi valik"));
    m_port->addItems({QStringLiteral("Com1"), QStringLiteral("Com2"), QStringLiteral("Com3"),
                      QStringLiteral("Com4")});
    m_device = named(new DeviceCombo([this] { listDevices(); }), "PortDeviceCombo",
                     QStringLiteral("The device of the chosen port: pick one the system has, or "
                                    "type its path"));
    m_device->setEditable(true);
    m_device->setEnabled(static_cast<bool>(m_links.listDevices));
    m_device->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_device->setMinimumContentsLength(24);
    m_device->setInsertPolicy(QComboBox::NoInsert);
    // The list shows each device with its description; the box keeps the path alone.
    connect(m_device, &QComboBox::activated, this,
            [this](int index) { m_device->setEditText(m_device->itemData(index).toString()); });
    auto* port = new QHBoxLayout;
    port->addWidget(m_port);
    port->addWidget(m_device, 1);
    generalForm->addRow(m_logging);
    generalForm->addRow(m_supervision);
    generalForm->addRow(m_remoteControl);
    generalForm->addRow(QStringLiteral("Hardware connected to:"), port);
    const QString placeTip =
        QStringLiteral("Where sunrise and sunset are worked out for: decimal degrees");
    m_latitude =
        named(new QLineEdit, "LatitudeText", placeTip + QStringLiteral(", north positive"));
    m_latitude->setPlaceholderText(QStringLiteral("59.437"));
    m_longitude =
        named(new QLineEdit, "LongitudeText", placeTip + QStringLiteral(", east positive"));
    m_longitude->setPlaceholderText(QStringLiteral("24.7536"));
    auto* place = new QHBoxLayout;
    place->addWidget(new QLabel(QStringLiteral("Latitude")));
    place->addWidget(m_latitude);
    place->addWidget(new QLabel(QStringLiteral("Longitude")));
    place->addWidget(m_longitude);
    generalForm->addRow(QStringLiteral("Place:"), place);
    connect(m_port, &QComboBox::currentIndexChanged, this, [this] { showDevice(); });
    if (m_links.startsAtLogin) {
        m_startAtLogin = named(new QCheckBox(QStringLiteral("Start Kestrum when I log in")),
                               "StartAtLoginCheck");
        m_startAtLogin->setChecked(m_links.startsAtLogin());
        generalForm->addRow(m_startAtLogin);
    }
    if (m_links.editMqtt) {
        auto* mqtt = named(new QPushButton(QStringLiteral("&MQTT...")), "ComMqtt",
                           QStringLiteral("The MQTT broker that shows the outputs and inputs to a "
                                          "home automation hub and takes its commands"));
        connect(mqtt, &QPushButton::clicked, this, [this] { m_links.editMqtt(this); });
        generalForm->addRow(mqtt);
    }
    if (m_links.editWeb) {
        auto* web = named(new QPushButton(QStringLiteral("&Web panel...")), "ComWeb",
                          QStringLiteral("The page that shows and switches the box from a phone "
                                         "or any browser"));
        connect(web, &QPushButton::clicked, this, [this] { m_links.editWeb(this); });
        generalForm->addRow(web);
    }

    const auto buttonGrid = [&](const QString& title, std::array<QPushButton*, 8>& buttons,
                                const char* prefix, const std::function<void(QWidget*)>& edit) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        for (int i = 0; i < 8; ++i) {
            buttons[i] = new QPushButton(box);
            buttons[i]->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(i + 1));
            grid->addWidget(buttons[i], i / 4, i % 4);
            connect(buttons[i], &QPushButton::clicked, this, [this, i, edit] {
                m_settings.beginEdit(i + 1);
                edit(this);
                load();
            });
        }
        return box;
    };
    auto* outputs = buttonGrid(QStringLiteral("Settings for outputs"), m_outputs, "ComRelee",
                               m_links.editOutput);
    auto* inputs =
        buttonGrid(QStringLiteral("Settings for inputs"), m_inputs, "ComIn", m_links.editInput);

    auto* actions = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name, const QString& tip = {}) {
        auto* b = named(new QPushButton(text), name, tip);
        actions->addWidget(b);
        return b;
    };
    connect(button(QStringLiteral("&Read Log"), "ComLog"), &QPushButton::clicked, this,
            [this] { m_links.readLog(this); });
    connect(button(QStringLiteral("&Delete log"), "ComKill"), &QPushButton::clicked, this,
            [this] { m_links.deleteLog(); });
    connect(button(QStringLiteral("&Circuit"), "ComSkeem", QStringLiteral("Riistvara skeem")),
            &QPushButton::clicked, this, [this] { m_links.showCircuit(this); });
    actions->addStretch();
    auto* ok =
        button(QStringLiteral("&Suits me"), "ComOK", QStringLiteral("Välju ja salvesta muutused"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &SeadedDialog::accept);
    connect(
        button(QStringLiteral("&Oops!"), "ComCancel", QStringLiteral("Väljumine ilma muutusteta")),
        &QPushButton::clicked, this, &SeadedDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(mail);
    auto* right = new QVBoxLayout;
    right->addWidget(general);
    right->addWidget(outputs);
    right->addWidget(inputs);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(actions);
    listDevices();
    load();
}

void SeadedDialog::load() {
    m_form = m_settings.formOnOpening();
    display(m_form);
}

void SeadedDialog::display(const GeneralForm& form) {
    m_port->setCurrentIndex(form.portIndex);
    for (int i = 0; i < 8; ++i) {
        m_outputs[i]->setText(form.outputNames[i]);
        m_inputs[i]->setText(form.inputNames[i]);
    }
    m_mailEnabled->setChecked(form.mailEnabled);
    m_prefAdrOnly->setChecked(form.prefAdrOnly);
    m_prefAdrText->setText(form.prefAdrText);
    m_prefAdrText1->setText(form.prefAdrText1);
    m_verifiedSenders->setChecked(form.verifiedSenders);
    m_authServId->setText(form.authServId);
    m_period->setCurrentIndex(form.mailCheckIndex);
    m_confirm->setChecked(form.confirm);
    m_passwordRequired->setChecked(form.passwordRequired);
    m_password->setText(form.password);
    m_logging->setChecked(form.logging);
    m_supervision->setChecked(form.supervision);
    m_latitude->setText(form.latitude);
    m_longitude->setText(form.longitude);
    m_remoteControl->setChecked(form.remoteControl);
    showDevice();
}

void SeadedDialog::showDevice() {
    if (m_links.deviceOf) {
        m_device->setEditText(m_links.deviceOf(m_port->currentIndex() + 1));
    }
}

void SeadedDialog::listDevices() {
    if (!m_links.listDevices) {
        return;
    }
    const QString typed = m_device->currentText();
    m_device->clear();
    for (const SerialDeviceChoice& choice : m_links.listDevices()) {
        m_device->addItem(choice.description.isEmpty()
                              ? choice.device
                              : QStringLiteral("%1   %2").arg(choice.device, choice.description),
                          choice.device);
    }
    m_device->setEditText(typed);
}

// Empty while the box still shows the port's stored device.
QString SeadedDialog::chosenDevice() const {
    const int listed = m_device->findText(m_device->currentText());
    const QString device =
        listed >= 0 ? m_device->itemData(listed).toString() : m_device->currentText().trimmed();
    const bool changed = m_links.listDevices && m_links.deviceOf &&
                         device != m_links.deviceOf(m_port->currentIndex() + 1);
    return changed ? device : QString();
}

GeneralForm SeadedDialog::read() const {
    GeneralForm form = m_form;
    form.portIndex = m_port->currentIndex();
    form.device = chosenDevice();
    form.mailEnabled = m_mailEnabled->isChecked();
    form.prefAdrOnly = m_prefAdrOnly->isChecked();
    form.prefAdrText = m_prefAdrText->text();
    form.prefAdrText1 = m_prefAdrText1->text();
    form.verifiedSenders = m_verifiedSenders->isChecked();
    form.authServId = m_authServId->text();
    form.mailCheckIndex = m_period->currentIndex();
    form.confirm = m_confirm->isChecked();
    form.passwordRequired = m_passwordRequired->isChecked();
    form.password = m_password->text();
    form.logging = m_logging->isChecked();
    form.supervision = m_supervision->isChecked();
    form.latitude = m_latitude->text();
    form.longitude = m_longitude->text();
    form.remoteControl = m_remoteControl->isChecked();
    return form;
}

void SeadedDialog::accept() {
    GeneralForm form = read();
    const bool done = m_settings.ComOK_Click(form);
    m_port->setCurrentIndex(form.portIndex);
    if (done) {
        takeStartAtLogin();
        QDialog::accept();
    }
}

void SeadedDialog::takeStartAtLogin() {
    if (!m_startAtLogin || m_startAtLogin->isChecked() == m_links.startsAtLogin()) {
        return;
    }
    const QString failure = m_links.setStartAtLogin(m_startAtLogin->isChecked());
    if (!failure.isEmpty()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Starting at log-in was not changed: %1").arg(failure));
    }
}

void SeadedDialog::reject() {
    m_settings.ComCancel_Click();
    QDialog::reject();
}

}  // namespace kestrum
