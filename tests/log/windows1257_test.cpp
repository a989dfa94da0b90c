#include "log/windows1257.h"

#include <iconv.h>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(Windows1257Test, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(toWindows1257(QStringLiteral("a€b✓c😀")), QByteArray("a\x80"
                                                                  "b?c?"));
}

// The table against the C library's own converter, byte for byte.
TEST(Windows1257Test, HighHalfMatchesTheSystemConverter) {
    iconv_t converter = iconv_open("UTF-16LE", "CP1257");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        GTEST_SKIP() << "no CP1257 converter on this system";
    }
    for (int code = 0x80; code <= 0xFF; ++code) {
        char in = static_cast<char>(code);
        char16_t out = 0;
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(&out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        const bool defined =
            iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
        const QString ours = fromWindows1257(QByteArray(1, in));
        if (defined) {
            EXPECT_EQ(ours, QString(QChar(out))) << "byte " << code;
            EXPECT_EQ(toWindows1257(ours), QByteArray(1, in)) << "byte " << code;
        } else {
            EXPECT_EQ(ours, QString(QChar(0xFFFD))) << "byte " << code;
        }
    }
    iconv_close(converter);
}

}  // namespace
}  // namespace kestrum
