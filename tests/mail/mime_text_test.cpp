#include "mail/mime_text.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(DecodeCharsetTest, KnownUnknownAndBrokenText) {
    EXPECT_EQ(decodeCharset("\xE4\xF5\xF6\xFC\xF0\xFE", "windows-1257"), "äõöüšž");
    EXPECT_EQ(decodeCharset("\xE4", "ISO-8859-1"), "ä");
    EXPECT_EQ(decodeCharset("a\xE4", "x-no-such"), "a\uFFFD");
    EXPECT_EQ(decodeCharset("a\xC3", "utf-8"), "a\uFFFD");
    // Undeclared 8-bit text is read as UTF-8.
    EXPECT_EQ(decodeCharset("\xC3\xA4", ""), "ä");
}

TEST(HtmlToTextTest, MarkupIsNeverLeftForTheCommandReader) {
    EXPECT_EQ(htmlToText("<b>[SEISUND]</b>"), "[SEISUND]");
    EXPECT_EQ(htmlToText(QStringLiteral("<style>p {}</style><script>x<y</script>"
                                        "<!-- [VALJA 1] -->[SEES 2]")),
              QStringLiteral("[SEES 2]"));
    EXPECT_EQ(htmlToText("a<br>b<p>c\n d</p>e"), QStringLiteral("a\r\nb\r\nc d\r\ne"));
    EXPECT_EQ(htmlToText("&lt;b&gt; &#228;&#x161; &amp;amp; &bogus; &#0;"),
              QStringLiteral("<b> äš &amp; &bogus; \uFFFD"));
}

}  // namespace
}  // namespace kestrum
