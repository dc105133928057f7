// A Windows converter on Linux runs through wine: the path rules, and a real
// Windows build of grindle converting both ways through wine.

#include "converter/run_converter.h"
#include "converter/wine_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(WineCommand, OnlyExeConvertersNeedWineAndPathsTakeTheZDrive) {
    EXPECT_TRUE(NeedsWine(QStringLiteral("/opt/game/Grindle.exe")));
    EXPECT_TRUE(NeedsWine(QStringLiteral("/opt/game/GRINDLE.EXE")));
    EXPECT_FALSE(NeedsWine(QStringLiteral("/opt/game/grindle")));
    EXPECT_FALSE(NeedsWine(QStringLiteral("/opt/game/grindle.exe.sh")));
    EXPECT_EQ(WindowsPathForWine(QStringLiteral("/home/me/My Data/unit.rbf")),
              QStringLiteral("Z:\\home\\me\\My Data\\unit.rbf"));
    const QStringList args =
        WineArguments(QStringLiteral("/opt/Grindle.exe"), QStringLiteral("/d/Ä b/x.rbf"));
    EXPECT_EQ(args, (QStringList{QStringLiteral("/opt/Grindle.exe"), QStringLiteral("-q"),
                                 QStringLiteral("-i"), QStringLiteral("Z:\\d\\Ä b\\x.rbf")}));
}

TEST(WineCommand, WithoutWineAWindowsConverterCannotBeStarted) {
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("Grindle.exe"));
    QFile(exe).open(QIODevice::WriteOnly);
    qputenv("KESTREL_WINE", QFile::encodeName(dir.filePath(QStringLiteral("no-such-wine"))));
    EXPECT_FALSE(RunConverter(exe, dir.filePath(QStringLiteral("unit.rbf"))));
    qunsetenv("KESTREL_WINE");
}

TEST(WineConverter, WindowsGrindleConvertsBothWaysThroughWine) {
    const QString exe = QStringLiteral(KESTREL_BUILD_DIR "/win/Grindle.exe");
    if (!QFileInfo::exists(exe))
        GTEST_SKIP() << "mingw-w64 is not installed: no Windows build of grindle to run";
    if (FindWine().isEmpty())
        GTEST_SKIP() << "wine is not installed";
    // No first-run installers or debug chatter from a fresh wine prefix.
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");
    qputenv("WINEDEBUG", "-all");

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("My Data"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString text = folder + QStringLiteral("/unit.txt");
    const QByteArray original = ReadAll(QStringLiteral(KESTREL_SOURCE_DIR "/samples/unit.txt"));
    ASSERT_FALSE(original.isEmpty());
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(original);
    }
    ASSERT_TRUE(RunConverter(exe, text));
    const QString rbf = folder + QStringLiteral("/unit.rbf");
    ASSERT_GT(QFileInfo(rbf).size(), 0) << "grindle.exe wrote no RBF file through wine";
    ASSERT_TRUE(QFile::remove(text));
    ASSERT_TRUE(RunConverter(exe, rbf));
    EXPECT_EQ(ReadAll(text), original);
}
