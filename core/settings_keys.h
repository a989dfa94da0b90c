#pragma once

#include <QString>

namespace kestrum {

// A per-output or per-input section of the store and the word its keys are numbered after.
struct NumberedSection {
    QString section;
    QString keyword;
};

namespace sections {
inline const NumberedSection Mode{QStringLiteral("Mode"), QStringLiteral("Mode")};
inline const NumberedSection Juhtimine{QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine")};
inline const NumberedSection Initsialiseeritud{QStringLiteral("Initsialiseeritud"),
                                               QStringLiteral("Initsialiseeritud")};
inline const NumberedSection Valjundid{QStringLiteral("Väljundid"), QStringLiteral("Väljundid")};
inline const NumberedSection KlahviNimi{QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi")};
inline const NumberedSection SisendiNimi{QStringLiteral("SisendiNimi"),
                                         QStringLiteral("SisendiNimi")};
inline const NumberedSection SisendiMuutuseMail{QStringLiteral("SisendiMuutuseMail"),
                                                QStringLiteral("SisendiMuutuseMail")};
inline const NumberedSection Sisseajad{QStringLiteral("Sisseajad"), QStringLiteral("Sisseaeg")};
inline const NumberedSection Valjaajad{QStringLiteral("Väljaajad"), QStringLiteral("Väljaaeg")};
inline const NumberedSection StroboSees{QStringLiteral("StroboSees"), QStringLiteral("StroboSees")};
inline const NumberedSection StroboValjas{QStringLiteral("StroboVäljas"),
                                          QStringLiteral("StroboVäljas")};
// Which device each port number stands for, when it is not the platform's default.
inline const NumberedSection Pordid{QStringLiteral("Pordid"), QStringLiteral("Port")};

inline const QString Seaded = QStringLiteral("Seaded");
}  // namespace sections

}  // namespace kestrum
