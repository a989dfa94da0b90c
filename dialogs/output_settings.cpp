#include "output_settings.h"

#include "core/settings_keys.h"
#include "dialogs/refusal.h"

#include <QRegularExpression>

namespace kestrum {

namespace {

const QString kSettingsError = QStringLiteral("Kaugvoole seadete viga...");
// What an empty entry shows: the pickers' own zero.
const QTime kNoTime(0, 0);
const QDate kNoDate(2000, 1, 1);

QTime timeOf(const Value& slot) {
    const auto moment = slot.dateTime();
    return slot == 0 || !moment ? kNoTime : moment->time();
}

QDate dateOf(const Value& slot) {
    const auto moment = slot.dateTime();
    return slot == 0 || !moment ? kNoDate : moment->date();
}

}  // namespace

double leadingNumber(const QString& text) {
    QString compact = text;
    compact.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(compact);
    return match.hasMatch() ? match.captured(0).toDouble() : 0.0;
}

QString paddedName(const QString& name, qsizetype length) {
    return name.size() < length ? name.leftJustified(length, QLatin1Char(' ')) : name;
}

OutputSettings::OutputSettings(State& state, Panel& panel, SettingsStore& store, Timers& timers,
                               Ui& ui, const Clock& clock)
    : m_state(state), m_panel(panel), m_store(store), m_timers(timers), m_ui(ui), m_clock(clock) {}

bool OutputSettings::hasPlace() const {
    return placeOf(m_state.Latitude, m_state.Longitude).has_value();
}

std::optional<SunOnDay> OutputSettings::sunOnToday(const EntryTime& time) {
    const std::optional<Place> place = placeOf(m_state.Latitude, m_state.Longitude);
    if (!time.isSun() || !place) {
        return std::nullopt;
    }
    const QDateTime now = m_clock.now();
    return time.on(now.date(), *place, now.timeZone(), m_sun);
}

QString OutputSettings::sunToday(const EntryTime& time) {
    const std::optional<SunOnDay> today = sunOnToday(time);
    if (!today) {
        return {};
    }
    if (today->moment) {
        return QStringLiteral("today ") + today->moment->toString(QStringLiteral("HH:mm:ss"));
    }
    switch (today->why) {
        case SunOnDay::Why::PolarDay:
            return QStringLiteral("none today: the sun does not set");
        case SunOnDay::Why::PolarNight:
            return QStringLiteral("none today: the sun does not rise");
        case SunOnDay::Why::NotThisDay:
        case SunOnDay::Why::Happens:
            break;
    }
    return time.kind == EntryTime::Kind::Sunrise ? QStringLiteral("none today: no sunrise")
                                                 : QStringLiteral("none today: no sunset");
}

OutputForm OutputSettings::formOnOpening() {
    const int n = output();
    OutputForm form;
    form.name = m_state.KlahviNimi[n].text();
    LylitumineList_Click(form, 1);
    form.strobe = !(m_state.Mode[n] == 0);
    form.strobeOn = m_state.StroboSees[n].text();
    form.strobeOff = m_state.StroboValjas[n].text();
    return form;
}

void OutputSettings::LylitumineList_Click(OutputForm& form, int entry) {
    const int n = output();
    form.entry = entry;
    form.onTime = timeOf(m_state.Sisseajad(2 * entry - 1, n));
    form.onDate = dateOf(m_state.Sisseajad(2 * entry, n));
    form.offTime = timeOf(m_state.Valjaajad(2 * entry - 1, n));
    form.offDate = dateOf(m_state.Valjaajad(2 * entry, n));
    form.daily = m_state.Sisseajad(21, n) == 1;
    const int e = entryNumber(n, entry);
    form.weekdays = Weekdays::fromText(m_state.Nadalapaevad[e].text());
    form.onKind = EntryTime::fromText(m_state.PaikeSisse[e].text());
    form.offKind = EntryTime::fromText(m_state.PaikeValja[e].text());
}

// A sun time keeps today's moment in its clock slot: the last computed time, for a program
// that knows only clock times.
void OutputSettings::ComSeiv_Click(const OutputForm& form) {
    const int n = output();
    const int k = form.entry;
    const int e = entryNumber(n, k);
    m_state.Nadalapaevad[e] = form.weekdays.text();
    m_state.PaikeSisse[e] = form.onKind.text();
    m_state.PaikeValja[e] = form.offKind.text();
    const auto clockTime = [&](const EntryTime& kind, const QTime& picked) {
        const std::optional<SunOnDay> today = sunOnToday(kind);
        return QDateTime(zeroDate(), today && today->moment ? today->moment->time() : picked);
    };
    m_state.Sisseajad(2 * k - 1, n) = clockTime(form.onKind, form.onTime);
    m_state.Sisseajad(2 * k, n) = QDateTime(form.onDate, QTime(0, 0));
    m_state.Valjaajad(2 * k - 1, n) = clockTime(form.offKind, form.offTime);
    m_state.Valjaajad(2 * k, n) = QDateTime(form.offDate, QTime(0, 0));
    m_state.Sisseajad(21, n) = form.daily ? 1 : 0;
    m_state.Valjaajad(21, n) = form.daily ? 1 : 0;
}

void OutputSettings::ComDelTime_Click(OutputForm& form) {
    const int n = output();
    const int k = form.entry;
    for (int slot : {2 * k - 1, 2 * k}) {
        m_state.Sisseajad(slot, n) = 0;
        m_state.Valjaajad(slot, n) = 0;
    }
    m_state.Sisseajad(21, n) = 0;
    const int e = entryNumber(n, k);
    m_state.Nadalapaevad[e] = Weekdays{}.text();
    m_state.PaikeSisse[e] = m_state.PaikeValja[e] = EntryTime{}.text();
    form.onTime = form.offTime = kNoTime;
    form.onDate = form.offDate = kNoDate;
    form.daily = false;
    form.weekdays = Weekdays{};
    form.onKind = form.offKind = EntryTime{};
}

void OutputSettings::TimerModeOption_Click(OutputForm& form) {
    form.strobe = false;
    m_state.Mode[output()] = 0;
}

void OutputSettings::StroboModeOption_Click(OutputForm& form) {
    form.strobe = true;
    m_state.Mode[output()] = 1;
}

bool OutputSettings::ComOK_Click(OutputForm& form) {
    const int n = output();
    const Limits& nameLimits = sections::KlahviNimi.limits;
    if (!nameLimits.allows(form.name)) {
        return refuse(m_ui, QStringLiteral("Klahvi nimi pikem kui 12 sümbolit !"), kSettingsError);
    }
    form.name = paddedName(nameWithoutPadding(form.name), nameLimits.longestName);
    m_state.KlahviNimi[n] = form.name;
    const auto replace = [&](const NumberedSection& section, const auto& table) {
        replaceSectionSkippingErrors(m_store, section, textsOf(table));
    };
    replace(sections::KlahviNimi, m_state.KlahviNimi);
    m_panel.outputs[n - 1].frameCaption = form.name;

    replace(sections::Sisseajad, m_state.Sisseajad);
    bool hasTimes = false;
    for (int slot = 1; slot <= TimeTable<Value>::kSlots; ++slot) {
        hasTimes = hasTimes || !(m_state.Sisseajad(slot, n) == 0);
    }
    m_state.Initsialiseeritud[n] = hasTimes ? 1 : 0;
    if (!hasTimes) {
        m_panel.outputs[n - 1].autoLampLit = false;
        m_state.Juhtimine[n] = 0;
    }
    m_panel.changed();
    replace(sections::Valjaajad, m_state.Valjaajad);
    replace(sections::Nadalapaevad, m_state.Nadalapaevad);
    replace(sections::PaikeSisse, m_state.PaikeSisse);
    replace(sections::PaikeValja, m_state.PaikeValja);

    const double on = leadingNumber(form.strobeOn);
    if (!sections::StroboSees.limits.allows(on)) {
        return refuse(m_ui, QStringLiteral("Vale strobolambi põlemise aeg"), kSettingsError);
    }
    m_state.StroboSees[n] = on;
    replace(sections::StroboSees, m_state.StroboSees);
    for (int i = 1; i <= 8; ++i) {
        m_timers.StroboTaimer[i - 1]->setInterval(m_state.StroboSees[i].toInt());
    }
    const double off = leadingNumber(form.strobeOff);
    if (!sections::StroboValjas.limits.allows(off)) {
        return refuse(m_ui, QStringLiteral("Vale strobolambi kustunud oleku aeg"), kSettingsError);
    }
    m_state.StroboValjas[n] = off;
    replace(sections::StroboValjas, m_state.StroboValjas);

    replace(sections::Initsialiseeritud, m_state.Initsialiseeritud);
    replace(sections::Mode, m_state.Mode);
    for (int i = 1; i <= 8; ++i) {
        if (m_state.Mode[i] == 1) {
            m_timers.StroboTaimer[i - 1]->setEnabled(true);
        }
    }
    replace(sections::Juhtimine, m_state.Juhtimine);
    return true;
}

}  // namespace kestrum
