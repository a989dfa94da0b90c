#include "core/local_zone.h"
#include "support/local_servers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include <time.h>

namespace kestrum {
namespace {

int offsetHours() {
    return QDateTime::currentDateTime().offsetFromUtc() / 3600;
}

// The zone is loaded once; replacing its file, as the system's tools do, loads the new one.
TEST(LocalZoneTest, ReplacedZoneFileIsLoadedAgain) {
    const std::optional<QByteArray> userZone =
        qEnvironmentVariableIsSet("TZ") ? std::optional(qgetenv("TZ")) : std::nullopt;
    qunsetenv("TZ");
    QTemporaryDir folder;
    const QString zoneFile = folder.filePath(QStringLiteral("localtime"));
    // The Etc zones count west as positive: GMT-2 is two hours ahead of UTC.
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/zoneinfo/Etc/GMT-2"), zoneFile));
    {
        LocalZone zone(zoneFile);
        EXPECT_EQ(offsetHours(), 2);
        const QString next = folder.filePath(QStringLiteral("next"));
        ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/zoneinfo/Etc/GMT-5"), next));
        ASSERT_EQ(
            ::rename(QFile::encodeName(next).constData(), QFile::encodeName(zoneFile).constData()),
            0);
        EXPECT_TRUE(testing::eventually([] { return offsetHours() == 5; }));
    }
    if (userZone) {
        qputenv("TZ", *userZone);
    } else {
        qunsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace kestrum
