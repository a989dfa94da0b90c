#include "ajad_dialog.h"

#include <QCheckBox>
#include <QComboBox>
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
#include <QSpinBox>
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
    m_onSun.time = m_onTime;
    m_offSun.time = m_offTime;
    timer->addWidget(new QLabel(QStringLiteral("Switching")), 0, 0);
    timer->addWidget(m_entries, 1, 0, 5, 1);
    timer->addWidget(new QLabel(QStringLiteral("ON:")), 1, 1);
    timer->addWidget(m_onTime, 1, 2);
    timer->addWidget(m_onDate, 1, 3);
    timer->addWidget(buildSunRow(m_onSun, "Sisse"), 1, 4);
    timer->addWidget(new QLabel(QStringLiteral("OFF:")), 2, 1);
    timer->addWidget(m_offTime, 2, 2);
    timer->addWidget(m_offDate, 2, 3);
    timer->addWidget(buildSunRow(m_offSun, "Valja"), 2, 4);
    auto* days = new QHBoxLayout;
    const std::array<const char*, 7> dayNames{"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
    for (std::size_t d = 0; d < 7; ++d) {
        m_weekdays[d] = new QCheckBox(QLatin1String(dayNames[d]));
        m_weekdays[d]->setObjectName(QStringLiteral("Paev%1").arg(d + 1));
        m_weekdays[d]->setToolTip(
            QStringLiteral("Fires on the checked days; with all seven, on its date or daily"));
        days->addWidget(m_weekdays[d]);
    }
    days->addStretch();
    timer->addWidget(new QLabel(QStringLiteral("Days:")), 3, 1);
    timer->addLayout(days, 3, 2, 1, 3);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(m_daily);
    entryRow->addStretch();
    entryRow->addWidget(save);
    entryRow->addWidget(clear);
    timer->addLayout(entryRow, 4, 1, 1, 4);
    if (!m_settings.hasPlace()) {
        auto* noPlace = named(new QLabel(QStringLiteral(
                                  "Sunrise and sunset need the place: set Latitude and Longitude "
                                  "under Place in Settings.")),
                              "NoPlaceLabel");
        noPlace->setWordWrap(true);
        timer->addWidget(noPlace, 5, 1, 1, 4);
    }
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

    m_form = m_settings.formOnOpening();
    m_name->setText(m_form.name);
    m_strobeOn->setText(m_form.strobeOn);
    m_strobeOff->setText(m_form.strobeOff);
    showEntry();
    showMode();
}

QWidget* AjadDialog::buildSunRow(SunRow& row, const char* name) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    row.kind = new QComboBox;
    row.kind->setObjectName(QStringLiteral("%1Kind").arg(QLatin1String(name)));
    row.kind->setToolTip(
        QStringLiteral("The clock time, or sunrise or sunset worked out each day"));
    row.kind->addItems(
        {QStringLiteral("clock"), QStringLiteral("sunrise"), QStringLiteral("sunset")});
    row.kind->setEnabled(m_settings.hasPlace());
    row.offset = new QSpinBox;
    row.offset->setObjectName(QStringLiteral("%1Offset").arg(QLatin1String(name)));
    row.offset->setToolTip(
        QStringLiteral("Minutes before (-) or after the sun time, up to 12 hours"));
    row.offset->setRange(-EntryTime::kLongestOffsetMinutes, EntryTime::kLongestOffsetMinutes);
    row.offset->setSuffix(QStringLiteral(" min"));
    row.today = new QLabel;
    row.today->setObjectName(QStringLiteral("%1Today").arg(QLatin1String(name)));
    row.today->setMinimumWidth(row.today->fontMetrics().horizontalAdvance(
        QStringLiteral("none today: the sun does not rise")));
    layout->addWidget(row.kind);
    layout->addWidget(row.offset);
    layout->addWidget(row.today);
    connect(row.kind, &QComboBox::currentIndexChanged, this, [this, &row] { showToday(row); });
    connect(row.offset, &QSpinBox::valueChanged, this, [this, &row] { showToday(row); });
    return box;
}

EntryTime AjadDialog::chosenSun(const SunRow& row) {
    return {static_cast<EntryTime::Kind>(row.kind->currentIndex()), row.offset->value()};
}

void AjadDialog::showSun(SunRow& row, const EntryTime& time) {
    row.kind->setCurrentIndex(static_cast<int>(time.kind));
    row.offset->setValue(time.offsetMinutes);
    showToday(row);
}

// A sun time takes its clock time from the sun: the time picker rests meanwhile.
void AjadDialog::showToday(SunRow& row) {
    const EntryTime time = chosenSun(row);
    row.offset->setEnabled(time.isSun());
    row.time->setEnabled(!time.isSun());
    row.today->setText(m_settings.sunToday(time));
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
    showSun(m_onSun, m_form.onKind);
    showSun(m_offSun, m_form.offKind);
    for (std::size_t d = 0; d < 7; ++d) {
        m_weekdays[d]->setChecked(m_form.weekdays.days[d]);
    }
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
    m_form.onKind = chosenSun(m_onSun);
    m_form.offKind = chosenSun(m_offSun);
    for (std::size_t d = 0; d < 7; ++d) {
        m_form.weekdays.days[d] = m_weekdays[d]->isChecked();
    }
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
