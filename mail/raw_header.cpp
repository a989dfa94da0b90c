#include "raw_header.h"

#include "mail/mime_text.h"

#include <optional>

namespace kestrum {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct EncodedWord {
    QByteArray charset;
    QByteArray bytes;
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<QByteArray> decodeQ(QByteArrayView text) {
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (text[i] != '=') {
            bytes += text[i];
        } else if (i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

std::optional<QByteArray> decodeB(QByteArrayView text) {
    auto decoded =
        QByteArray::fromBase64Encoding(text.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return std::nullopt;
    }
    return std::move(decoded.decoded);
}

// The encoded words that make up the whole blank-free run, or nothing when it is anything
// else. Mailers that put encoded words back to back without a blank are read too.
std::optional<QList<EncodedWord>> encodedWords(QByteArrayView run) {
    QList<EncodedWord> words;
    while (!run.isEmpty()) {
        if (!run.startsWith("=?")) {
            return std::nullopt;
        }
        const qsizetype charsetEnd = run.indexOf('?', 2);
        if (charsetEnd <= 2 || charsetEnd + 2 >= run.size() || run[charsetEnd + 2] != '?') {
            return std::nullopt;
        }
        const qsizetype textStart = charsetEnd + 3;
        const qsizetype textEnd = run.indexOf('?', textStart);
        if (textEnd <= textStart || textEnd + 1 >= run.size() || run[textEnd + 1] != '=') {
            return std::nullopt;
        }
        const QByteArrayView text = run.sliced(textStart, textEnd - textStart);
        const char encoding = run[charsetEnd + 1];
        std::optional<QByteArray> bytes;
        if (encoding == 'Q' || encoding == 'q') {
            bytes = decodeQ(text);
        } else if (encoding == 'B' || encoding == 'b') {
            bytes = decodeB(text);
        }
        if (!bytes) {
            return std::nullopt;
        }
        // A language may follow the charset after a star.
        QByteArrayView charset = run.sliced(2, charsetEnd - 2);
        charset = charset.first(charset.contains('*') ? charset.indexOf('*') : charset.size());
        words.append({charset.toByteArray().toLower(), std::move(*bytes)});
        run = run.sliced(textEnd + 2);
    }
    return words;
}

}  // namespace

QList<QByteArray> headerFieldValues(const QByteArray& mail, QByteArrayView name) {
    QList<QByteArray> values;
    QByteArray field;
    const auto finishField = [&] {
        const qsizetype colon = field.indexOf(':');
        if (colon > 0 &&
            QByteArrayView(field).first(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            const qsizetype start = colon + 1 < field.size() && field[colon + 1] == ' ' ? 2 : 1;
            values.append(field.mid(colon + start));
        }
        field.clear();
    };
    qsizetype pos = 0;
    while (pos < mail.size()) {
        qsizetype end = mail.indexOf('\n', pos);
        const qsizetype next = end < 0 ? mail.size() : end + 1;
        if (end < 0) {
            end = mail.size();
        }
        QByteArrayView line(mail.constData() + pos, end - pos);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            break;
        }
        // Unfolding drops the line break before a blank; a blank line start with no field
        // before it belongs to nothing.
        if (isBlank(line.front())) {
            if (!field.isEmpty()) {
                field += line;
            }
        } else {
            finishField();
            field = line.toByteArray();
        }
        pos = next;
    }
    finishField();
    return values;
}

QString decodeEncodedWords(const QByteArray& text) {
    QString decoded;
    QByteArray charset;
    QByteArray pending;  // bytes of adjacent encoded words in one charset, decoded together
    QByteArrayView blanks;
    bool afterEncodedWord = false;
    const auto flush = [&] {
        if (!pending.isEmpty()) {
            decoded += decodeCharset(pending, charset);
            pending.clear();
        }
    };
    qsizetype pos = 0;
    while (pos < text.size()) {
        const bool blank = isBlank(text[pos]);
        qsizetype end = pos;
        while (end < text.size() && isBlank(text[end]) == blank) {
            ++end;
        }
        const QByteArrayView run(text.constData() + pos, end - pos);
        pos = end;
        if (blank) {
            blanks = run;
            continue;
        }
        if (const auto words = encodedWords(run)) {
            if (!afterEncodedWord) {
                decoded += QString::fromLatin1(blanks);
            }
            for (const EncodedWord& word : *words) {
                if (word.charset != charset) {
                    flush();
                    charset = word.charset;
                }
                pending += word.bytes;
            }
            afterEncodedWord = true;
        } else {
            flush();
            decoded += QString::fromLatin1(blanks);
            decoded += decodeCharset(run.toByteArray(), "utf-8");
            afterEncodedWord = false;
        }
        blanks = {};
    }
    flush();
    decoded += QString::fromLatin1(blanks);
    return decoded;
}

}  // namespace kestrum
