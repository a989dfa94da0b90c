#include "settings_keys.h"

namespace kestrum {

namespace {
const QString kNamePadding = QStringLiteral("    ");
}  // namespace

QString numberedKey(const QString& keyword, int n) {
    return keyword + signedText(n);
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
