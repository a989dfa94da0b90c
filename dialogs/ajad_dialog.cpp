#include "ajad_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrum {

namespace {

template <typename W>
W* named(W* widget, const char* name, const QString& toolTip = {}) {
    widget->setObjectName(QLatin1String(name));
    widget->setToolTip(toolTip);
    return widget;
}

QToolButton* pictureButton(const char* icon, const char* name, const QString& toolTip) {
    auto* button = named(new QToolButton, name, toolTip);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    button->setIconSize(QSize(24, 24));
    return button;
}

}  // namespace

AjadDialog::AjadDialog(OutputSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("Ajad"));
    setWindowTitle(QStringLiteral("Timer settings"));
    setModal(true);

    m_name =
        named(new QLineEdit, "KlahviNimiText", QStringLiteral("Saad anda väljundile mingi nime"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Outputs friendly name:")));
    nameRow->addWidget(m_name);

    auto* mode = new QGroupBox(QStringLiteral("This output driven by"));
    auto* modeRow = new QHBoxLayout(mode);
    m_timerMode = named(new QRadioButton(QStringLiteral("Timer")), "TimerModeOption",
                        QStringLiteral("Taimeriga juhtimine"));
    m_strobeMode = named(new QRadioButton(QStringLiteral("Strobo")), "StroboModeOption",
                         QStringLiteral("Stoboskoop juhtimine"));
    modeRow->addWidget(m_timerMode);
    modeRow->addWidget(m_strobeMode);
    connect(m_timerMode, &QRadioButton::clicked, this, [this] {
        m_settings.TimerModeOption_Click(m_form);
        showMode();
    });
    connect(m_strobeMode, &QRadioButton::clicked, this, [this] {
        m_settings.StroboModeOption_Click(m_form);
        showMode();
    });

    m_timerFrame = named(new QGroupBox(QStringLiteral("Timer")), "TimerFrame");
    auto* timer = new QGridLayout(m_timerFrame);
    m_entries = named(new QListWidget, "LylitumineList");
    for (int k = 1; k <= 10; ++k) {
        m_entries->addItem(QString::number(k));
    }
    m_entries->setFixedWidth(56);
    m_onTime = named(new QTimeEdit, "SisseAeg", QStringLiteral("Sisselülituse aeg"));
    m_onDate = named(new QDateEdit, "SisseKuup", QStringLiteral("Sisselülituse kuupäev"));
    m_offTime = named(new QTimeEdit, "ValjaAeg", QStringLiteral("Väljalülituse aeg"));
    m_offDate = named(new QDateEdit, "ValjaKuup", QStringLiteral("Väljalülituse kuupäev"));
    for (QTimeEdit* edit : {m_onTime, m_offTime}) {
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    }
    for (QDateEdit* edit : {m_onDate, m_offDate}) {
        edit->setDisplayFormat(QStringLiteral("dd.MM.yy"));
        edit->setCalendarPopup(true);
    }
    m_daily = named(new QCheckBox(QStringLiteral("Daily")), "DailyCheck",
                    QStringLiteral("Kordab iga päev"));
    auto* save = pictureButton("save", "ComSeiv", QStringLiteral("Salvesta see aeg"));
    auto* clear = pictureButton("delete", "ComDelTime", QStringLiteral("Kustuta see aeg"));
    timer->addWidget(new QLabel(QStringLiteral("Switching")), 0, 0);
    timer->addWidget(m_entries, 1, 0, 3, 1);
    timer->addWidget(new QLabel(QStringLiteral("ON:")), 1, 1);
    timer->addWidget(m_onTime, 1, 2);
    timer->addWidget(m_onDate, 1, 3);
    timer->addWidget(new QLabel(QStringLiteral("OFF:")), 2, 1);
    timer->addWidget(m_offTime, 2, 2);
    timer->addWidget(m_offDate, 2, 3);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(m_daily);
    entryRow->addStretch();
    entryRow->addWidget(save);
    entryRow->addWidget(clear);
    timer->addLayout(entryRow, 3, 1, 1, 3);
    connect(m_entries, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row + 1 != m_form.entry) {
            m_settings.LylitumineList_Click(m_form, row + 1);
            showEntry();
        }
    });
    connect(save, &QToolButton::clicked, this, [this] {
        readPickers();
        m_settings.ComSeiv_Click(m_form);
    });
    connect(clear, &QToolButton::clicked, this, [this] {
        m_settings.ComDelTime_Click(m_form);
        showEntry();
    });

    m_strobeFrame = named(new QGroupBox(QStringLiteral("Strobo")), "StroboFrame",
                          QStringLiteral("Strobolambi juhtimise aegade sättimine"));
    auto* strobe = new QGridLayout(m_strobeFrame);
    m_strobeOn =
        named(new QLineEdit, "StroboSeesAegText", QStringLiteral("Maksimaalne 1000 millisekundit"));
    m_strobeOff = named(new QLineEdit, "StroboValjasAegText",
                        QStringLiteral("Maksimaalne 1000 millisekundit"));
    strobe->addWidget(new QLabel(QStringLiteral("ON:")), 0, 0);
    strobe->addWidget(m_strobeOn, 0, 1);
    strobe->addWidget(new QLabel(QStringLiteral("ms")), 0, 2);
    strobe->addWidget(new QLabel(QStringLiteral("OFF:")), 1, 0);
    strobe->addWidget(m_strobeOff, 1, 1);
    strobe->addWidget(new QLabel(QStringLiteral("ms")), 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = named(new QPushButton(QStringLiteral("&Let it be")), "ComOK");
    ok->setDefault(true);
    auto* cancel = named(new QPushButton(QStringLiteral("&Forget")), "ComCancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &AjadDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &AjadDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(mode);
    layout->addWidget(m_timerFrame);
    layout->addWidget(m_strobeFrame);
    layout->addLayout(buttons);

    m_form = m_settings.Form_Load();
    m_name->setText(m_form.name);
    m_strobeOn->setText(m_form.strobeOn);
    m_strobeOff->setText(m_form.strobeOff);
    showEntry();
    showMode();
}

// Only the pickers and the daily box follow the entry: the name and strobe times the user has
// typed stay as typed until OK.
void AjadDialog::showEntry() {
    const QSignalBlocker blocker(m_entries);
    m_entries->setCurrentRow(m_form.entry - 1);
    m_onTime->setTime(m_form.onTime);
    m_onDate->setDate(m_form.onDate);
    m_offTime->setTime(m_form.offTime);
    m_offDate->setDate(m_form.offDate);
    m_daily->setChecked(m_form.daily);
}

void AjadDialog::showMode() {
    m_timerMode->setChecked(!m_form.strobe);
    m_strobeMode->setChecked(m_form.strobe);
    m_timerFrame->setEnabled(!m_form.strobe);
    m_strobeFrame->setEnabled(m_form.strobe);
}

void AjadDialog::readPickers() {
    m_form.onTime = m_onTime->time();
    m_form.onDate = m_onDate->date();
    m_form.offTime = m_offTime->time();
    m_form.offDate = m_offDate->date();
    m_form.daily = m_daily->isChecked();
}

void AjadDialog::accept() {
    m_form.name = m_name->text();
    m_form.strobeOn = m_strobeOn->text();
    m_form.strobeOff = m_strobeOff->text();
    const bool done = m_settings.ComOK_Click(m_form);
    m_name->setText(m_form.name);
    if (done) {
        QDialog::accept();
    }
}

}  // namespace kestrum
