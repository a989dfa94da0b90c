#include "mime_text.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <vmime/contentTypeField.hpp>
#include <vmime/utility/outputStreamStringAdapter.hpp>

namespace kestrum {

namespace {

QByteArray toBytes(const vmime::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString asciiOnly(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text.append(code < 0x80 ? QChar(code) : QChar(QChar::ReplacementCharacter));
    }
    return text;
}

QByteArray charsetOf(const vmime::header& header) {
    const auto type = header.findField<vmime::contentTypeField>(vmime::fields::CONTENT_TYPE);
    if (!type) {
        return {};
    }
    const auto parameter = type->findParameter("charset");
    return parameter ? toBytes(parameter->getValue().getBuffer()) : QByteArray();
}

struct TypedPart {
    QString subType;
    std::shared_ptr<const vmime::bodyPart> part;
};

bool isAttachment(const vmime::header& header) {
    const auto disposition = header.findField(vmime::fields::CONTENT_DISPOSITION);
    return disposition && QString::fromStdString(disposition->getValue()->generate())
                              .trimmed()
                              .startsWith(QStringLiteral("attachment"), Qt::CaseInsensitive);
}

// The first inline text part of each sub-type, depth first, as a mail reader shows them.
void findTextParts(const std::shared_ptr<const vmime::bodyPart>& part,
                   std::shared_ptr<const vmime::bodyPart>& plain,
                   std::shared_ptr<const vmime::bodyPart>& html) {
    const auto body = part->getBody();
    if (body->getPartCount() > 0) {
        for (size_t i = 0; i < body->getPartCount(); ++i) {
            findTextParts(body->getPartAt(i), plain, html);
        }
        return;
    }
    if (isAttachment(*part->getHeader())) {
        return;
    }
    const vmime::mediaType type = body->getContentType();
    if (type.getType() != vmime::mediaTypes::TEXT) {
        return;
    }
    if (type.getSubType() == vmime::mediaTypes::TEXT_PLAIN && !plain) {
        plain = part;
    } else if (type.getSubType() == vmime::mediaTypes::TEXT_HTML && !html) {
        html = part;
    }
}

QString partText(const vmime::bodyPart& part) {
    vmime::string decoded;
    vmime::utility::outputStreamStringAdapter out(decoded);
    try {
        part.getBody()->getContents()->extract(out);
    } catch (const vmime::exception&) {
        // An encoding VMime cannot undo: the raw bytes are the best we have.
        decoded.clear();
        part.getBody()->getContents()->extractRaw(out);
    }
    return decodeCharset(toBytes(decoded), charsetOf(*part.getHeader()));
}

QString decodeEntity(const QString& name) {
    static const QHash<QString, QString> named = {
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral(" ")},
        {QStringLiteral("auml"), QStringLiteral("ä")},
        {QStringLiteral("ouml"), QStringLiteral("ö")},
        {QStringLiteral("uuml"), QStringLiteral("ü")},
        {QStringLiteral("otilde"), QStringLiteral("õ")},
        {QStringLiteral("Auml"), QStringLiteral("Ä")},
        {QStringLiteral("Ouml"), QStringLiteral("Ö")},
        {QStringLiteral("Uuml"), QStringLiteral("Ü")},
        {QStringLiteral("Otilde"), QStringLiteral("Õ")},
        {QStringLiteral("scaron"), QStringLiteral("š")},
        {QStringLiteral("Scaron"), QStringLiteral("Š")},
        {QStringLiteral("zcaron"), QStringLiteral("ž")},
        {QStringLiteral("Zcaron"), QStringLiteral("Ž")},
    };
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const bool hex =
            name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'));
        const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return QString(QChar::ReplacementCharacter);
        }
        const char32_t character = code;
        return QString::fromUcs4(&character, 1);
    }
    const auto found = named.constFind(name);
    return found != named.constEnd() ? *found : QLatin1Char('&') + name + QLatin1Char(';');
}

}  // namespace

QString decodeCharset(const QByteArray& bytes, const QByteArray& charset) {
    QByteArray name = charset.trimmed().toLower();
    // Undeclared or declared ASCII text that carries 8-bit bytes is UTF-8 in practice.
    if (name.isEmpty() || name == "us-ascii") {
        name = "utf-8";
    }
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        return asciiOnly(bytes);
    }
    return decoder.decode(bytes);
}

QString htmlToText(const QString& html) {
    static const QRegularExpression hidden(
        QStringLiteral("<(script|style|head)\\b.*?</\\1\\s*>|<!--.*?-->"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression lineEnd(
        QStringLiteral("<(br|/?p|/?div|/?tr|/?li|/?h[1-6])\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression space(QStringLiteral("[ \\t\\r\\n]+"));
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z]+);"));

    QString text = html;
    text.remove(hidden);
    // Source line breaks mean nothing in HTML; only the markup's own line ends count.
    text.replace(space, QStringLiteral(" "));
    text.replace(lineEnd, QStringLiteral("\r\n"));
    text.remove(tag);

    QString decoded;
    qsizetype from = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        decoded += text.mid(from, match.capturedStart() - from);
        decoded += decodeEntity(match.captured(1));
        from = match.capturedEnd();
    }
    decoded += text.mid(from);

    QStringList lines;
    for (const QString& line : decoded.split(QStringLiteral("\r\n"))) {
        if (!line.trimmed().isEmpty()) {
            lines.append(line.trimmed());
        }
    }
    return lines.join(QStringLiteral("\r\n"));
}

QString messageText(const vmime::message& message) {
    std::shared_ptr<const vmime::bodyPart> plain;
    std::shared_ptr<const vmime::bodyPart> html;
    const std::shared_ptr<const vmime::bodyPart> root(std::shared_ptr<const vmime::bodyPart>(),
                                                      &message);
    findTextParts(root, plain, html);
    if (plain) {
        return partText(*plain);
    }
    return html ? htmlToText(partText(*html)) : QString();
}

}  // namespace kestrum
