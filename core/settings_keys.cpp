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
        case Defaults::OutputName:
            return QStringLiteral("Väljund") + signedText(n) + kNamePadding;
        case Defaults::InputName:
            return QStringLiteral("Sisend") + signedText(n) + kNamePadding;
        case Defaults::None:
            break;
    }
    return {};
}

Value NumberedSection::completionValue(int n) const {
    switch (defaults) {
        case Defaults::Number:
            return Value(word).toInt();
        case Defaults::OutputName:
        case Defaults::InputName:
            return completionText(n).chopped(kNamePadding.size());
        case Defaults::None:
            break;
    }
    return {};
}

Value NumberedSection::startupDefault(int n) const {
    switch (defaults) {
        case Defaults::Number:
            return Value(word).toInt();
        case Defaults::OutputName:
            return QStringLiteral("Väljund ") + signedText(n);
        case Defaults::InputName:
            return QStringLiteral("Sisend ") + signedText(n);
        case Defaults::None:
            break;
    }
    return {};
}

}  // namespace kestrum
