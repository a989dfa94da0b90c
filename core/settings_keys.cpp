#include "settings_keys.h"

namespace kestrum {

namespace {
const QString kNamePadding = QStringLiteral("    ");
}  // namespace

QString numberedKey(const QString& keyword, int n) {
    return keyword + signedText(n);
}

QString nameWithoutPadding(const QString& name) {
    qsizetype end = name.size();
    while (end > 0 && name[end - 1] == QLatin1Char(' ')) {
        --end;
    }
    return name.left(end);
}

bool Limits::allows(const Value& value) const {
    if (range) {
        const std::optional<double> number = value.number();
        return number && range->contains(*number);
    }
    return longestName == 0 || nameWithoutPadding(value.text()).size() <= longestName;
}

Value Limits::usableOr(const Value& value, const Value& fallback) const {
    if (allows(value)) {
        return value;
    }
    if (range) {
        return fallback;
    }
    QString name = value.text().left(longestName);
    // Half a character would come back from the store as a replacement mark.
    if (name.back().isHighSurrogate()) {
        name.chop(1);
    }
    return name;
}

QString NumberedSection::completionText(int n) const {
    switch (defaults) {
        case Defaults::Number:
            return word;
        case Defaults::Name:
            return word + signedText(n) + kNamePadding;
        case Defaults::None:
            break;
    }
    return {};
}

Value NumberedSection::completionValue(int n) const {
    return defaults == Defaults::Name ? Value(word + signedText(n)) : startupDefault(n);
}

Value NumberedSection::startupDefault(int n) const {
    switch (defaults) {
        case Defaults::Number:
            return Value(word).toInt();
        case Defaults::Name:
            return word + QLatin1Char(' ') + signedText(n);
        case Defaults::None:
            break;
    }
    return {};
}

}  // namespace kestrum
