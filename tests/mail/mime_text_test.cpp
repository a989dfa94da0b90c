#include "mail/mime_text.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(HtmlToTextTest, MarkupIsNeverLeftForTheCommandReader) {
    EXPECT_EQ(htmlToText(QStringLiteral("<style>p {}</style><script>x<y</script>"
                                        "<!-- [VALJA 1] -->[SEES 2]")),
              QStringLiteral("[SEES 2]"));
    EXPECT_EQ(htmlToText("a<br>b<p>c\n d</p>e"), QStringLiteral("a\r\nb\r\nc d\r\ne"));
    EXPECT_EQ(htmlToText("&lt;b&gt; &#228;&#x161; &amp;amp; &bogus; &#0;"),
              QStringLiteral("<b> äš &amp; &bogus; \uFFFD"));
}

}  // namespace
}  // namespace kestrum
