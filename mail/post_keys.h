#pragma once

#include <QString>

// Where the mail account lives in the settings store.
namespace kestrum::postkeys {

inline const QString section = QStringLiteral("Post");
inline const QString incoming = QStringLiteral("Sisse");
inline const QString outgoing = QStringLiteral("Välja");
inline const QString user = QStringLiteral("Kasutaja");
inline const QString sender = QStringLiteral("Saatja");
inline const QString password = QStringLiteral("Parool");

}  // namespace kestrum::postkeys
