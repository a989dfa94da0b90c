#include "mail/authentication_results.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(AuthenticationResultsTest, OnlyOurServersTopmostVerdictCounts) {
    const QString ours = QStringLiteral("mx.example.org");
    const QString from = QStringLiteral("owner@example.org");
    // The headers topmost first, and whether they verify the sender.
    const std::pair<QStringList, bool> cases[] = {
        {{"mx.example.org; spf=pass; dmarc=pass header.from=example.org"}, true},
        {{"mx.example.org; dmarc=fail header.from=example.org"}, false},
        {{"mx.example.org; dmarc=pass header.from=evil.example"}, false},
        {{"mx.example.org; dmarc=pass"}, false},
        {{"mx.example.org; dmarc=pass header.d=example.org"}, false},
        {{"relay.other.example; dmarc=pass header.from=example.org"}, false},
        {{}, false},
        {{"mx.example.org; dkim=pass header.d=example.org header.s=k1"}, true},
        {{"mx.example.org; dkim=pass header.d=evil.example"}, false},
        {{"mx.example.org; spf=pass header.d=example.org"}, false},
        {{"mx.example.org; dkim=pass (a (b) header.d=example.org ) header.d=evil.example"}, false},
        {{"mx.example.org; dkim=pass header.d=\"example.org\""}, true},
        // What a sender wrote into the mail lies below what our server added on top.
        {{"mx.example.org; dmarc=fail", "mx.example.org; dmarc=pass header.from=example.org"},
         false},
        {{"other.example; dmarc=fail",
          "MX.Example.ORG 1; dkim/1 = pass (good) header.d=Example.org"},
         true},
        // Quoted text cannot pose as a separator or a verdict.
        {{"mx.example.org; dkim=fail reason=\"; dmarc=pass header.from=example.org\""}, false},
        {{"mx.example.org; none"}, false},
        {{"mx.example.org; dkim=fail reason=\"a\\\"; dmarc=pass header.from=example.org\""}, false},
        // A quoted text cut short after its escape mark still reads to its end.
        {{"mx.example.org; dmarc=pass header.from=example.org reason=\"cut\\"}, true},
    };
    for (const auto& [headers, verified] : cases) {
        EXPECT_EQ(senderVerified(headers, ours, from), verified)
            << headers.join(" | ").toStdString();
    }
    EXPECT_FALSE(
        senderVerified({"mx.example.org; dmarc=pass header.from=example.org"}, QString(), from))
        << "no server named, none verifies";
}

}  // namespace
}  // namespace kestrum
