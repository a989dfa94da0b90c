#include "authentication_results.h"

#include <QList>

#include <utility>

namespace kestrum {

namespace {

using Property =
    std::pair<QString, QString>;    // "header.d", "example.org"; a lone word has no value
using Statement = QList<Property>;  // what stands between two semicolons

// Splits a header value into its statements. Comments go; a quoted string is one word whatever
// it holds, so text a sender controls cannot pose as a separator or a result of its own.
QList<Statement> statements(const QString& value) {
    QList<Statement> all{Statement{}};
    bool pendingEquals = false;
    const auto addWord = [&](const QString& word) {
        Statement& current = all.last();
        if (pendingEquals && !current.isEmpty()) {
            current.last().second = word;
        } else {
            current.append({word, QString()});
        }
        pendingEquals = false;
    };
    const auto isSpecial = [](QChar c) {
        return c.isSpace() || c == QLatin1Char(';') || c == QLatin1Char('=') ||
               c == QLatin1Char('(') || c == QLatin1Char('"');
    };
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('(')) {
            int depth = 0;
            do {
                if (value[i] == QLatin1Char('\\')) {
                    ++i;
                } else if (value[i] == QLatin1Char('(')) {
                    ++depth;
                } else if (value[i] == QLatin1Char(')')) {
                    --depth;
                }
                ++i;
            } while (i < value.size() && depth > 0);
        } else if (c == QLatin1Char(';')) {
            all.append(Statement{});
            pendingEquals = false;
            ++i;
        } else if (c == QLatin1Char('=')) {
            pendingEquals = true;
            ++i;
        } else if (c == QLatin1Char('"')) {
            QString word;
            for (++i; i < value.size() && value[i] != QLatin1Char('"'); ++i) {
                if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
                    ++i;
                }
                word += value[i];
            }
            ++i;
            addWord(word);
        } else {
            const qsizetype start = i;
            while (i < value.size() && !isSpecial(value[i])) {
                ++i;
            }
            addWord(value.mid(start, i - start));
        }
    }
    return all;
}

// A pass speaks for the sender only when it names the sender's domain: DMARC's header.from, the
// domain DKIM signed for (header.d). A pass for another domain says nothing about this one.
bool verifies(const Statement& statement, const QString& fromDomain) {
    if (statement.isEmpty() ||
        statement[0].second.compare(QLatin1String("pass"), Qt::CaseInsensitive) != 0) {
        return false;
    }
    // The method may carry a version: "dkim/1=pass".
    const QString method = statement[0].first.section(QLatin1Char('/'), 0, 0).toLower();
    const QLatin1String domainProperty =
        method == QLatin1String("dmarc") ? QLatin1String("header.from") : QLatin1String("header.d");
    if (method != QLatin1String("dmarc") && method != QLatin1String("dkim")) {
        return false;
    }
    for (const Property& property : statement.mid(1)) {
        if (property.first.compare(domainProperty, Qt::CaseInsensitive) == 0 &&
            property.second.compare(fromDomain, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool senderVerified(const QStringList& authenticationResults, const QString& authServId,
                    const QString& from) {
    const qsizetype at = from.lastIndexOf(QLatin1Char('@'));
    const QString server = authServId.trimmed();
    if (server.isEmpty() || at < 0) {
        return false;
    }
    const QString fromDomain = from.mid(at + 1);
    for (const QString& header : authenticationResults) {
        const QList<Statement> all = statements(header);
        if (all[0].isEmpty() || all[0][0].first.compare(server, Qt::CaseInsensitive) != 0) {
            continue;
        }
        // Only the topmost header of our own server counts: those below it came with the mail.
        for (const Statement& statement : all.mid(1)) {
            if (verifies(statement, fromDomain)) {
                return true;
            }
        }
        return false;
    }
    return false;
}

}  // namespace kestrum
