#include "mail_address.h"

namespace kestrum {

namespace {

// The index just after the quoted string that opens at pos, or -1 when it never closes.
qsizetype quotedEnd(const QByteArray& text, qsizetype pos) {
    for (qsizetype i = pos + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return -1;
}

// The index just after the comment, nested ones included, that opens at pos, or -1.
qsizetype commentEnd(const QByteArray& text, qsizetype pos) {
    int depth = 0;
    for (qsizetype i = pos; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return -1;
}

// Local part, one "@", domain; no blank or control character outside a quoted local part.
bool isAddrSpec(const QByteArray& text) {
    qsizetype at = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            const qsizetype end = quotedEnd(text, i);
            if (end < 0) {
                return false;
            }
            i = end - 1;
        } else if (c <= ' ' || c == 0x7F || c == '<' || c == '>') {
            return false;
        } else if (c == '@') {
            if (at >= 0) {
                return false;
            }
            at = i;
        }
    }
    return at > 0 && at + 1 < text.size();
}

}  // namespace

QString mailboxAddress(const QByteArray& value) {
    QByteArray outside;
    QByteArray angle;
    bool inAngle = false;
    bool sawAngle = false;
    qsizetype pos = 0;
    while (pos < value.size()) {
        const char c = value[pos];
        QByteArray& into = inAngle ? angle : outside;
        if (c == '"') {
            const qsizetype end = quotedEnd(value, pos);
            if (end < 0) {
                return {};
            }
            into += value.mid(pos, end - pos);
            pos = end;
            continue;
        }
        if (c == '(') {
            const qsizetype end = commentEnd(value, pos);
            if (end < 0) {
                return {};
            }
            into += ' ';
            pos = end;
            continue;
        }
        if (c == '<') {
            if (sawAngle) {
                return {};
            }
            inAngle = sawAngle = true;
        } else if (c == '>') {
            if (!inAngle) {
                return {};
            }
            inAngle = false;
        } else if (c == ')' || (!inAngle && (c == ',' || c == ':' || c == ';'))) {
            // A second mailbox or a group: no one sender to compare.
            return {};
        } else {
            into += c;
        }
        ++pos;
    }
    if (inAngle) {
        return {};
    }
    QByteArray address = (sawAngle ? angle : outside).trimmed();
    // An obsolete source route names the relays, not the sender.
    if (sawAngle && address.startsWith('@')) {
        address = address.mid(address.indexOf(':') + 1).trimmed();
    }
    return isAddrSpec(address) ? QString::fromUtf8(address) : QString();
}

}  // namespace kestrum
