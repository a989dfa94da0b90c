#include "state_document.h"

#include <QJsonArray>

namespace kestrum {

namespace {

QJsonValue onOff(bool on) {
    return on ? QStringLiteral("ON") : QStringLiteral("OFF");
}

QJsonValue readLevel(const State& state, int n) {
    return state.BoardRead == 1 ? onOff(state.ReadBack[n] == 1) : QJsonValue(QJsonValue::Null);
}

}  // namespace

QJsonObject stateDocument(const State& state, const QDateTime& now) {
    QJsonArray outputs;
    QJsonArray inputs;
    for (int k = 1; k <= 8; ++k) {
        outputs.append(QJsonObject{
            {QStringLiteral("number"), k},
            {QStringLiteral("name"), state.KlahviNimi[k].text().trimmed()},
            {QStringLiteral("wanted"), onOff(state.Valjundid[k] == 1)},
            {QStringLiteral("board"), readLevel(state, k)},
            {QStringLiteral("failed"), state.OutputFailed[k] == 1},
            {QStringLiteral("control"),
             state.Juhtimine[k] == 1 ? QStringLiteral("AUTO") : QStringLiteral("MANUAL")},
            {QStringLiteral("strobe"), state.Mode[k] == 1},
        });
        inputs.append(QJsonObject{
            {QStringLiteral("number"), k},
            {QStringLiteral("name"), state.SisendiNimi[k].text().trimmed()},
            {QStringLiteral("state"), readLevel(state, k + 8)},
        });
    }
    return QJsonObject{
        {QStringLiteral("time"), now.toString(Qt::ISODate)},
        {QStringLiteral("outputs"), outputs},
        {QStringLiteral("inputs"), inputs},
        {QStringLiteral("mail"),
         QJsonObject{{QStringLiteral("enabled"), state.MailEnabled == 1},
                     {QStringLiteral("minutes_left"), state.MailCountdown.toInt()}}},
    };
}

}  // namespace kestrum
