#pragma once

#include "state.h"
#include "value.h"

#include <QString>

#include <array>
#include <optional>

// Every section, key and default of the store, spelt once, with the values the program can use.
// Completion, start-up, the settings windows and all-off name the keys only through these tables.
namespace kestrum {

// The key of output or input n in a per-output section: "Mode 1", "Sisseaeg 168".
QString numberedKey(const QString& keyword, int n);

// A name without the blanks at its end. The names written by the settings completion carry
// four blanks behind "Väljund 1", one more than the stored length: they are padding, not name.
QString nameWithoutPadding(const QString& name);

struct NumberRange {
    double minimum;
    double maximum;

    bool contains(double number) const { return number >= minimum && number <= maximum; }
};

// Which stored values the program can use. The file is edited by hand too: a strobe time of 0
// stops the strobe and one of 1 ms keeps a core busy, a huge mail period overflows the countdown
// and a name of megabytes takes the main window's repainting with it.
struct Limits {
    // When set, the value must be a number within it.
    std::optional<NumberRange> range;
    // When above 0, the longest a name may be, not counting its padding.
    qsizetype longestName = 0;

    bool allows(const Value& value) const;
    // The value itself when allowed, a name cut to its longest, anything else the fallback.
    Value usableOr(const Value& value, const Value& fallback) const;
};

inline const Limits kStrobeLimits{NumberRange{100, 1000}};  // milliseconds
inline const Limits kNameLimits{{}, 12};  // as long as the settings windows let a name be

// A per-output or per-input section of the store and the word its keys are numbered after.
struct NumberedSection {
    enum class Defaults {
        Number,  // every key defaults to `word`, a number
        Name,    // `word` and the number: "Väljund 1    " on completion, "Väljund  1" at start-up
        None,    // no default: a missing key reads empty
    };

    QString section;
    QString keyword;
    Defaults defaults = Defaults::None;
    QString word;  // the number of Defaults::Number, the name word of Defaults::Name
    Limits limits = {};

    QString key(int n) const { return numberedKey(keyword, n); }
    // The text completion writes for n when the section is missing.
    QString completionText(int n) const;
    // The value completion leaves in memory for n: a name without its four blanks of padding.
    Value completionValue(int n) const;
    // What start-up takes for n when the key is missing or holds the empty text.
    Value startupDefault(int n) const;
};

namespace sections {
using D = NumberedSection::Defaults;
inline const NumberedSection Mode{QStringLiteral("Mode"), QStringLiteral("Mode"), D::Number,
                                  QStringLiteral("0")};
inline const NumberedSection Juhtimine{QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine"),
                                       D::Number, QStringLiteral("0")};
inline const NumberedSection Initsialiseeritud{QStringLiteral("Initsialiseeritud"),
                                               QStringLiteral("Initsialiseeritud"), D::Number,
                                               QStringLiteral("0")};
inline const NumberedSection Valjundid{QStringLiteral("Väljundid"), QStringLiteral("Väljundid"),
                                       D::Number, QStringLiteral("0")};
inline const NumberedSection KlahviNimi{QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi"),
                                        D::Name, QStringLiteral("Väljund"), kNameLimits};
inline const NumberedSection SisendiNimi{QStringLiteral("SisendiNimi"),
                                         QStringLiteral("SisendiNimi"), D::Name,
                                         QStringLiteral("Sisend"), kNameLimits};
inline const NumberedSection SisendiMuutuseMail{QStringLiteral("SisendiMuutuseMail"),
                                                QStringLiteral("SisendiMuutuseMail"), D::Number,
                                                QStringLiteral("0")};
// Keys numbered 1..168: slot s of output n is 21 * (n - 1) + s.
inline const NumberedSection Sisseajad{QStringLiteral("Sisseajad"), QStringLiteral("Sisseaeg"),
                                       D::Number, QStringLiteral("0")};
inline const NumberedSection Valjaajad{QStringLiteral("Väljaajad"), QStringLiteral("Väljaaeg"),
                                       D::Number, QStringLiteral("0")};
inline const NumberedSection StroboSees{QStringLiteral("StroboSees"), QStringLiteral("StroboSees"),
                                        D::Number, QStringLiteral("100"), kStrobeLimits};
inline const NumberedSection StroboValjas{QStringLiteral("StroboVäljas"),
                                          QStringLiteral("StroboVäljas"), D::Number,
                                          QStringLiteral("100"), kStrobeLimits};
// Added later than the rest, so completion writes them without telling the user, and a file
// without them runs as before: each entry's weekdays ("1111111" every day, Monday first), its
// on and off time as a clock or a sun time ("0" the clock time in the slots), numbered
// 10 * (output - 1) + entry; and when each output's pulse ends ("0" none).
inline const NumberedSection Nadalapaevad{QStringLiteral("Nädalapäevad"),
                                          QStringLiteral("Nädalapäevad"), D::Number,
                                          QStringLiteral("1111111")};
inline const NumberedSection PaikeSisse{QStringLiteral("PäikeSisse"), QStringLiteral("PäikeSisse"),
                                        D::Number, QStringLiteral("0")};
inline const NumberedSection PaikeValja{QStringLiteral("PäikeVälja"), QStringLiteral("PäikeVälja"),
                                        D::Number, QStringLiteral("0")};
inline const NumberedSection PulsiLopp{QStringLiteral("PulsiLõpp"), QStringLiteral("PulsiLõpp"),
                                       D::Number, QStringLiteral("0")};
// Which device each port number stands for, when it is not the platform's default.
inline const NumberedSection Pordid{QStringLiteral("Pordid"), QStringLiteral("Port"), D::None, {}};

inline const QString Seaded = QStringLiteral("Seaded");
}  // namespace sections

// A key of section "Seaded" and the program-wide value that mirrors it.
struct GeneralKey {
    QString key;
    // What completion writes when the key is missing or empty.
    QString completionText;
    // Whether completing it is worth telling the user: a key that may hold the empty text
    // reads the same as a missing one.
    bool completionTellsUser;
    // What start-up takes when the key is missing or holds the empty text.
    Value startupDefault;
    Value State::*variable;
    Limits limits = {};
};

namespace general {
// 0, 1 or 2 for a check every 5, 10 or 15 minutes.
inline const Limits kMailPeriodLimits{NumberRange{0, 2}};

inline const GeneralKey MailEnabled{QStringLiteral("MailEnabled"), QStringLiteral("0"), true, 0,
                                    &State::MailEnabled};
inline const GeneralKey PrefAdrOnly{QStringLiteral("PrefAdrOnly"), QStringLiteral("0"), true, 0,
                                    &State::PrefAdrOnly};
inline const GeneralKey PrefAdrText{QStringLiteral("PrefAdrText"), QString(), false, QString(),
                                    &State::PrefAdrText};
inline const GeneralKey PrefAdrText1{QStringLiteral("PrefAdrText1"), QString(), false, QString(),
                                     &State::PrefAdrText1};
inline const GeneralKey MailCheckInt{QStringLiteral("MailCheckInt"), QStringLiteral("0"), true, 0,
                                     &State::MailCheckInt,           kMailPeriodLimits};
inline const GeneralKey Confirm{QStringLiteral("Confirm"), QStringLiteral("0"), true, 0,
                                &State::Confirm};
inline const GeneralKey ParoolLubatud{QStringLiteral("ParoolLubatud"), QStringLiteral("0"), true, 0,
                                      &State::ParoolLubatud};
inline const GeneralKey Subjekt{QStringLiteral("Subjekt"), QStringLiteral("tuulelipp"), false,
                                QString(), &State::Subjekt};
inline const GeneralKey Logi{QStringLiteral("Logi"), QStringLiteral("0"), true, 0, &State::Logi};
inline const GeneralKey ControlEnabled{QStringLiteral("ControlEnabled"), QStringLiteral("0"), true,
                                       0, &State::ControlEnabled};
// Completion tests port 1 before it writes; start-up takes 0 or missing as port 1.
inline const GeneralKey Jarjestikport{QStringLiteral("Järjestikport"), QStringLiteral("1"), false,
                                      1, &State::Jarjestikport};

// Only mails whose sender the user's own mail server verified, and that server's name (its
// authserv-id). Added later than the rest, so completion leaves them out: missing, they are
// off and empty.
inline const GeneralKey VerifiedSenders{QStringLiteral("VerifiedSenders"), QStringLiteral("0"),
                                        false, 0, &State::VerifiedSenders};
inline const GeneralKey AuthServId{QStringLiteral("AuthServId"), QString(), false, QString(),
                                   &State::AuthServId};
// Where the sun times are worked out for: decimal degrees, north and east positive; empty is
// no place, and no sun time can be chosen.
inline const GeneralKey Latitude{
    QStringLiteral("Latitude"),  QString(), false, QString(), &State::Latitude,
    Limits{NumberRange{-90, 90}}};
inline const GeneralKey Longitude{
    QStringLiteral("Longitude"),   QString(), false, QString(), &State::Longitude,
    Limits{NumberRange{-180, 180}}};
// Whether MQTT and web commands are obeyed. The all-off turns it off, the settings window on
// again. Added later too: missing, it is on.
inline const GeneralKey RemoteControl{QStringLiteral("RemoteControl"), QStringLiteral("1"), false,
                                      1, &State::RemoteControl};
// The keys start-up loads beside those of completion.
inline const std::array<const GeneralKey*, 5> added{&VerifiedSenders, &AuthServId, &Latitude,
                                                    &Longitude, &RemoteControl};

// The keys completion fills in and start-up loads, in completion's order.
inline const std::array<const GeneralKey*, 10> completed{
    &MailEnabled, &PrefAdrOnly,   &PrefAdrText, &PrefAdrText1, &MailCheckInt,
    &Confirm,     &ParoolLubatud, &Subjekt,     &Logi,         &ControlEnabled,
};
}  // namespace general

// The mail account: the back end's own log-on data.
namespace post {
inline const QString section = QStringLiteral("Post");
inline const QString incoming = QStringLiteral("Sisse");
inline const QString outgoing = QStringLiteral("Välja");
inline const QString user = QStringLiteral("Kasutaja");
inline const QString sender = QStringLiteral("Saatja");
inline const QString password = QStringLiteral("Parool");
// "1": the user allowed the servers to be reached without TLS.
inline const QString unencrypted = QStringLiteral("Krüpteerimata");
}  // namespace post

// The MQTT bridge: off while the broker is empty.
namespace mqtt {
inline const QString section = QStringLiteral("MQTT");
inline const QString broker = QStringLiteral("Broker");
inline const QString user = QStringLiteral("User");
inline const QString clientId = QStringLiteral("ClientId");
inline const QString topic = QStringLiteral("Topic");
inline const QString password = QStringLiteral("Password");
inline const QString caFile = QStringLiteral("CaFile");
// The discovery config topics last published, blank-separated: a changed client id empties them.
inline const QString discoveryConfigs = QStringLiteral("DiscoveryConfigs");
}  // namespace mqtt

// The web panel: served only while enabled.
namespace web {
inline const QString section = QStringLiteral("Web");
inline const QString enabled = QStringLiteral("Enabled");
inline const QString listen = QStringLiteral("Listen");
inline const QString certificate = QStringLiteral("Certificate");
inline const QString key = QStringLiteral("Key");
inline const QString passwordHash = QStringLiteral("PasswordHash");
inline const QString defaultListen = QStringLiteral("127.0.0.1:8080");
}  // namespace web

}  // namespace kestrum
