#include "mail/raw_mail.h"
#include "mail/mail_address.h"
#include "support/sample_mails.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(RawMailTest, SubjectIsKeptAsSentBesidesUnfoldingAndEncodedWords) {
    const std::pair<QByteArray, QString> cases[] = {
        {"Subject:  tuulelipp \t", " tuulelipp \t"},
        {"Subject:tuulelipp", "tuulelipp"},
        {"Subject:  =?utf-8?q?tuulelipp?=", " tuulelipp"},
        {"subject:\r\n tuulelipp", "tuulelipp"},
        {"Subject: tuule\r\n\tlipp", "tuule\tlipp"},
        // The blanks between encoded words go, those beside other text stay.
        {"Subject: =?UTF-8?B?dHV1bGVs?=\r\n =?utf-8*et?q?ipp?= x", "tuulelipp x"},
        {"Subject: a =?utf-8?q?b_c?=d", "a =?utf-8?q?b_c?=d"},
        // One character split over two words.
        {"Subject: =?utf-8?B?ww==?= =?UTF-8?B?pA==?=", "ä"},
        {"Subject: =?utf-8?q?=c3=bf?= =?iso-8859-1?q?=E4=30=39?=", "ÿä09"},
        {"Subject: =?utf-8?q?bad=ZZ?=", "=?utf-8?q?bad=ZZ?="},
        // Words cut short or empty are text as it stands.
        {"Subject: =?utf-8?q?cut?", "=?utf-8?q?cut?"},
        {"Subject: =?utf-8?q?cut", "=?utf-8?q?cut"},
        {"Subject: =?utf-8?q?a=4?=", "=?utf-8?q?a=4?="},
        {"Subject: =?utf-8?q?\?=", "=?utf-8?q?\?="},
        {"Subject: =?x-none?q?a=E4?=", "a\uFFFD"},
        {"Subject: " + testing::kUnparseableWords, QString::fromLatin1(testing::kUnparseableWords)},
    };
    for (const auto& [field, subject] : cases) {
        EXPECT_EQ(readMail("From: a@b\r\n" + field + "\r\nSubject: second\r\n\r\nx\r\n").subject,
                  subject)
            << field.toStdString();
    }
}

TEST(RawMailTest, SenderIsTheAddressNeverTheDisplayName) {
    const std::pair<QByteArray, QString> cases[] = {
        {"owner@example.org <attacker@evil.example>", "attacker@evil.example"},
        {"\"Owner, <boss@example.org>\" (x) <Owner@Example.org>",
         QStringLiteral("Owner@Example.org")},
        {"owner@example.org (Owner <attacker@evil.example>)", "owner@example.org"},
        {"<@relay.example:owner@example.org>", "owner@example.org"},
        {"\"owner x\"@example.org", "\"owner x\"@example.org"},
        {"Owner owner@example.org", QString()},
        {"owner@example.org, attacker@evil.example", QString()},
        {"Owners: owner@example.org;", QString()},
        {"Owner <owner@example.org> <attacker@evil.example>", QString()},
        {"\"Owner <owner@example.org>", QString()},
        {"<owner@example.org", QString()},
        {"<owner@exam\x01ple.org>", QString()},
        {"<>", QString()},
    };
    for (const auto& [from, address] : cases) {
        EXPECT_EQ(mailboxAddress(from), address) << from.toStdString();
    }
    EXPECT_EQ(readMail("From: owner@example.org\r\nFrom: a@b\r\n\r\nx\r\n").sender, QString())
        << "two From fields";
}

TEST(RawMailTest, AuthenticationResultsUnfoldedTopmostFirst) {
    const MailContent mail = readMail(
        "Authentication-Results: mx.example.org;\r\n dkim=pass\r\n"
        "From: owner@example.org\r\nauthentication-results: relay.example; none\r\n\r\n"
        "Authentication-Results: in the body\r\n");
    EXPECT_EQ(mail.authenticationResults, QStringList({QStringLiteral("mx.example.org; dkim=pass"),
                                                       QStringLiteral("relay.example; none")}));
}

TEST(RawMailTest, LimitsLeaveOrdinaryMailsReadable) {
    using testing::nestedMail;
    const MailContent deepest = readMail(nestedMail(kMaxMultipartLevels, true, "[SEISUND]"));
    EXPECT_TRUE(deepest.readable);
    EXPECT_EQ(deepest.text, "[SEISUND]\r\n");
    EXPECT_FALSE(readMail(nestedMail(kMaxMultipartLevels + 1, true, "[SEISUND]")).readable);
    EXPECT_FALSE(readMail(nestedMail(kMaxMultipartLevels + 1, false, "[SEISUND]")).readable);
    const QByteArray big = "From: a@b\r\n\r\n" + QByteArray(kMaxMailSize, 'x');
    EXPECT_TRUE(readMail(big.first(kMaxMailSize)).readable);
    EXPECT_TRUE(readMail("From: a@b\r\nContent-Type: multipart/mixed\n").readable)
        << "a header that ends the mail";
    EXPECT_FALSE(readMail(big).readable);
}

}  // namespace
}  // namespace kestrum
