// Feeds mutated mails through readMail, the one way the back end reads a fetched mail, and fails
// on a crash or an exception. The mails come from a fixed seed, so a run can be repeated:
//     mail_parse_fuzz [ITERATIONS [SEED]]
// A failing mail is written to mail_parse_fuzz-failure.eml in the working folder.

#include "mail/raw_mail.h"
#include "mail/sample_mails.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <chrono>
#include <cstdio>
#include <exception>
#include <random>
#include <string>

namespace kestrum {
namespace {

QList<QByteArray> seeds() {
    return {
        "From: =?utf-8?Q?Omanik_=C3=84?= <owner@example.org>\r\n"
        "To: kestrum@example.org\r\nSubject: tuulelipp\r\nMIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=windows-1257\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
        "L=FClita [KOORMUS_3_SISSE_KOHE] ja =F5ue [SEISUND]=\r\n l=F5pp\r\n",

        "From: \"Owner, <boss@example.org>\" (work) <owner@example.org>\r\n"
        "Subject: =?UTF-8?B?dHV1bGVs?= =?utf-8*et?q?ipp?=\r\n"
        "Authentication-Results: mx.example.org;\r\n dkim=pass header.d=example.org;\r\n"
        "\tspf=pass smtp.mailfrom=example.org\r\n"
        "Authentication-Results: other.example; none\r\n"
        "MIME-Version: 1.0\r\nContent-Type: multipart/alternative; boundary=\"b\"\r\n\r\n"
        "prologue\r\n--b\r\nContent-Type: text/plain; charset=utf-8\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\nW1NFSVNVTkRdIMO1\r\n"
        "--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
        "<html><style>p{}</style><p>K&auml;sk: <b>[SEISUND]</b>&#x161;</p></html>\r\n"
        "--b--\r\nepilogue\r\n",

        "From: owner@example.org <attacker@evil.example>\r\nSubject:  tuulelipp \r\n"
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=out\r\n\r\n"
        "--out\r\nContent-Type: text/plain\r\n\r\n[SEISUND]\r\n"
        "--out\r\nContent-Type: message/rfc822\r\nContent-Disposition: attachment\r\n\r\n"
        "From: a@b\r\nSubject: inner\r\n\r\ntext\r\n--out--\r\n",

        "From: owner@example.org\r\nX-Junk: " + testing::kUnparseableWords +
            "\r\nSubject: tuulelipp\r\n\r\n[SEISUND]\r\n",

        "From: owner@example.org\r\nSubject: " + testing::kUnparseableWords +
            "\r\n\r\n[SEISUND]\r\n",

        testing::nestedMail(kMaxMultipartLevels - 2, true, "[SEISUND]"),
        testing::nestedMail(kMaxMultipartLevels + 2, false, "[SEISUND]"),
    };
}

const QList<QByteArray> kTokens = {
    "=?",
    "?=",
    "=?utf-8?B?",
    "=?utf-8?Q?",
    "=?x-unknown?q?=E4?=",
    testing::kUnparseableWords,
    "\r\n",
    "\n",
    "\r",
    "\r\n ",
    "\r\n\r\n",
    "--",
    "--b\r\n",
    "--b--\r\n",
    "Content-Type: multipart/mixed; boundary=b\r\n\r\n",
    "Content-Type: text/html; charset=",
    "Content-Transfer-Encoding: base64\r\n",
    "Content-Transfer-Encoding: quoted-printable\r\n",
    "Content-Disposition: attachment\r\n",
    "From: ",
    "Subject: ",
    "Authentication-Results: ",
    "<",
    ">",
    "\"",
    "(",
    ")",
    "\\",
    ",",
    ":",
    ";",
    "@",
    "=",
    "&#",
    "&#x",
    "<br>",
    "\xC3",
    "\xFF",
    QByteArray(1, '\0'),
};

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}

    QByteArray mutate(QByteArray mail, const QList<QByteArray>& pool) {
        for (int step = 0, steps = below(8) + 1; step < steps; ++step) {
            switch (below(6)) {
                case 0:
                    if (!mail.isEmpty()) {
                        mail[below(mail.size())] = static_cast<char>(below(256));
                    }
                    break;
                case 1:
                    mail.insert(below(mail.size() + 1), kTokens[below(kTokens.size())]);
                    break;
                case 2:
                    mail.remove(below(mail.size() + 1), below(64) + 1);
                    break;
                case 3: {
                    const qsizetype from = below(mail.size() + 1);
                    mail.insert(below(mail.size() + 1), mail.mid(from, below(256) + 1));
                    break;
                }
                case 4: {
                    const QByteArray& other = pool[below(pool.size())];
                    mail = mail.left(below(mail.size() + 1)) + other.mid(below(other.size() + 1));
                    break;
                }
                default:
                    mail.truncate(below(mail.size() + 1));
            }
        }
        return mail;
    }

private:
    qsizetype below(qsizetype bound) {
        return std::uniform_int_distribution<qsizetype>(0, bound - 1)(m_random);
    }

    std::mt19937 m_random;
};

// Reads the mail; says why and keeps it when that goes wrong.
bool readsSafely(const QByteArray& mail, long iteration) {
    const char* failure = nullptr;
    std::string what;
    try {
        if (readMail(mail).readable && mail.size() > kMaxMailSize) {
            failure = "a mail over the size limit was read";
        }
    } catch (const std::exception& e) {
        what = e.what();
        failure = what.c_str();
    } catch (...) {
        failure = "an exception of unknown type";
    }
    if (!failure) {
        return true;
    }
    QFile file(QStringLiteral("mail_parse_fuzz-failure.eml"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(mail);
    }
    std::fprintf(stderr, "mail %ld: %s; written to mail_parse_fuzz-failure.eml\n", iteration,
                 failure);
    return false;
}

int run(long iterations, unsigned seed) {
    // Too big to be mutated thousands of times in a test run; read once as it is.
    if (!readsSafely(testing::nestedMail(4000, true, "[SEISUND]"), -1)) {
        return 1;
    }
    const QList<QByteArray> pool = seeds();
    Mutator mutator(seed);
    const auto start = std::chrono::steady_clock::now();
    for (long iteration = 0; iteration < iterations; ++iteration) {
        // The seeds themselves go first, unchanged.
        const QByteArray& base = pool[iteration % pool.size()];
        if (!readsSafely(iteration < pool.size() ? base : mutator.mutate(base, pool), iteration)) {
            return 1;
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%ld mails from seed %u read in %.1f s\n", iterations, seed, took.count());
    return 0;
}

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
    const long iterations = argc > 1 ? std::stol(argv[1]) : 20000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 1;
    return kestrum::run(iterations, seed);
}
