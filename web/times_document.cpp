#include "times_document.h"

#include <QJsonArray>

namespace kestrum {

namespace {

constexpr int kEntries = 10;
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// The window edits EditIndex; a page request must not leave it changed under an open window.
class EditedOutput {
public:
    EditedOutput(State& state, int n) : m_state(state), m_before(state.EditIndex) {
        m_state.EditIndex = n;
    }
    ~EditedOutput() { m_state.EditIndex = m_before; }
    EditedOutput(const EditedOutput&) = delete;
    EditedOutput& operator=(const EditedOutput&) = delete;

private:
    State& m_state;
    Value m_before;
};

bool entrySet(const State& state, int n, int entry) {
    for (int slot : {2 * entry - 1, 2 * entry}) {
        if (!(state.Sisseajad(slot, n) == 0) || !(state.Valjaajad(slot, n) == 0)) {
            return true;
        }
    }
    return false;
}

QTime timeField(const QJsonObject& entry, const QString& field, QString* problem) {
    const QString text = entry.value(field).toString();
    QTime time = QTime::fromString(text, kTimeFormat);
    if (!time.isValid()) {
        time = QTime::fromString(text, QStringLiteral("HH:mm"));
    }
    if (!time.isValid()) {
        *problem = QStringLiteral("%1 is no time of day (HH:MM or HH:MM:SS)").arg(field);
    }
    return time;
}

QDate dateField(const QJsonObject& entry, const QString& field, QString* problem) {
    const QDate date = QDate::fromString(entry.value(field).toString(), kDateFormat);
    if (!date.isValid()) {
        *problem = QStringLiteral("%1 is no date (YYYY-MM-DD)").arg(field);
    }
    return date;
}

}  // namespace

QJsonObject TimesDocument::read(int n) {
    const EditedOutput edited(m_state, n);
    OutputForm form = m_settings.formOnOpening();
    QJsonArray entries;
    for (int entry = 1; entry <= kEntries; ++entry) {
        m_settings.LylitumineList_Click(form, entry);
        entries.append(QJsonObject{
            {QStringLiteral("set"), entrySet(m_state, n, entry)},
            {QStringLiteral("on_time"), form.onTime.toString(kTimeFormat)},
            {QStringLiteral("on_date"), form.onDate.toString(kDateFormat)},
            {QStringLiteral("off_time"), form.offTime.toString(kTimeFormat)},
            {QStringLiteral("off_date"), form.offDate.toString(kDateFormat)},
        });
    }
    return QJsonObject{
        {QStringLiteral("name"), form.name},
        {QStringLiteral("daily"), form.daily},
        {QStringLiteral("entries"), entries},
        {QStringLiteral("strobe_on"), form.strobeOn},
        {QStringLiteral("strobe_off"), form.strobeOff},
    };
}

QString TimesDocument::write(int n, const QJsonObject& document) {
    const QJsonArray entries = document.value(QStringLiteral("entries")).toArray();
    if (entries.size() != kEntries) {
        return QStringLiteral("entries must list the ten entries");
    }
    const EditedOutput edited(m_state, n);
    OutputForm form = m_settings.formOnOpening();
    const bool daily = document.value(QStringLiteral("daily")).toBool(form.daily);
    // Every entry is read before any is stored: a bad one leaves the table as it was.
    std::vector<OutputForm> read;
    for (int entry = 1; entry <= kEntries; ++entry) {
        const QJsonObject fields = entries[entry - 1].toObject();
        OutputForm one = form;
        // The entry's weekdays and sun times, which the page does not edit, stay as they are.
        m_settings.LylitumineList_Click(one, entry);
        one.daily = daily;
        if (fields.value(QStringLiteral("set")).toBool(true)) {
            QString problem;
            one.onTime = timeField(fields, QStringLiteral("on_time"), &problem);
            one.onDate = dateField(fields, QStringLiteral("on_date"), &problem);
            one.offTime = timeField(fields, QStringLiteral("off_time"), &problem);
            one.offDate = dateField(fields, QStringLiteral("off_date"), &problem);
            if (!problem.isEmpty()) {
                return QStringLiteral("entry %1: %2").arg(entry).arg(problem);
            }
        } else {
            one.onTime = QTime();
        }
        read.push_back(one);
    }
    // Clearing an entry clears the daily flag, which saving one sets again: clear first.
    for (OutputForm& one : read) {
        if (!one.onTime.isValid()) {
            m_settings.ComDelTime_Click(one);
        }
    }
    for (const OutputForm& one : read) {
        if (one.onTime.isValid()) {
            m_settings.ComSeiv_Click(one);
        }
    }
    form.name = document.value(QStringLiteral("name")).toString(form.name);
    form.strobeOn = document.value(QStringLiteral("strobe_on")).toString(form.strobeOn);
    form.strobeOff = document.value(QStringLiteral("strobe_off")).toString(form.strobeOff);
    m_ui.lastMessage.clear();
    return m_settings.ComOK_Click(form) ? QString() : m_ui.lastMessage;
}

}  // namespace kestrum
