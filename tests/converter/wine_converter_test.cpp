// A Windows converter on Linux runs through wine: the path rules, and a real
// Windows build of grindle converting both ways through wine.

#include "converter/converter_output.h"
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

    // A text it refuses: its one line names the file in wine's form, the line and the column.
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RBF file: unit.rbf\r\n{\r\n| a: 1;\r\n| b: 2\r\n}\r\n");
    }
    const ConverterRun refused = RunConverterProcess(exe, text);
    EXPECT_EQ(refused.exitCode, 1);
    const QStringList lines = refused.outputLines();
    ASSERT_EQ(lines.size(), 1) << qPrintable(lines.join(QLatin1Char('\n')));
    EXPECT_EQ(lines.first(),
              QStringLiteral("grindle: %1: line 4, column 7: expected \";\" at the end of the value of \"b\"")
                  .arg(WindowsPathForWine(QFileInfo(text).absoluteFilePath())));
    EXPECT_EQ(FindNamedLine(lines, QStringLiteral("unit.txt")).line, 4);
}

// wine reads a backslash as a folder separator: "/d/back\slash.rbf" would convert "back/slash".
TEST(WineCommand, NamesWineCannotExpressAreRefusedBeforeAnythingRuns) {
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("Grindle.exe"));
    QFile(exe).open(QIODevice::WriteOnly);
    // A wine that would leave a trace if it ran.
    const QString trace = dir.filePath(QStringLiteral("wine ran"));
    const QString wine = dir.filePath(QStringLiteral("wine"));
    {
        QFile script(wine);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch '" + QFile::encodeName(trace) + "'\n");
    }
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("KESTREL_WINE", QFile::encodeName(wine));
    for (const QString &name : {QStringLiteral("back\\slash.rbf"), QStringLiteral("say \"hi\".rbf"),
                                QStringLiteral("two\nlines.rbf"), QStringLiteral("car\rriage.rbf")}) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WineRefusal(exe, path).startsWith(path)) << qPrintable(name);
        const ConverterRun run = RunConverterProcess(exe, path);
        EXPECT_FALSE(run.started()) << qPrintable(name);
        EXPECT_EQ(run.refusal, WineRefusal(exe, path));
        EXPECT_EQ(run.endText(), run.refusal);
    }
    EXPECT_FALSE(QFile::exists(trace));
    // Names wine takes as they are, and converters that need no wine, are not refused.
    EXPECT_TRUE(WineRefusal(exe, dir.filePath(QStringLiteral("a b 'c' ä.rbf"))).isEmpty());
    EXPECT_TRUE(
        WineRefusal(dir.filePath(QStringLiteral("grindle")), QStringLiteral("/d/back\\slash.rbf")).isEmpty());
    const ConverterRun plain = RunConverterProcess(exe, dir.filePath(QStringLiteral("plain.rbf")));
    EXPECT_TRUE(plain.started());
    EXPECT_TRUE(QFile::exists(trace));
    qunsetenv("KESTREL_WINE");
}

// What wine itself says about the Windows program it runs is no word of the converter's.
TEST(WineCommand, WinesOwnDiagnosticsAreNotShown) {
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("Grindle.exe"));
    QFile(exe).open(QIODevice::WriteOnly);
    // A wine that chatters as a fresh prefix does, around the converter's refusal of the text
    // named by its fourth argument (the input in Windows form).
    const QString wine = dir.filePath(QStringLiteral("wine"));
    {
        QFile script(wine);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\n"
            "echo '0024:fixme:ntdll:NtQuerySystemInformation info_class SYSTEM_PERFORMANCE_INFORMATION' >&2\n"
            "printf '%s\\n' \"grindle: $4:7:3: expected \\\";\\\" at the end of the value\" >&2\n"
            "echo '0108:err:winediag:nodrv_CreateWindow Application tried to create a window' >&2\n"
            "echo '00ac:0024:warn:seh:dispatch_exception unhandled exception' >&2\n"
            "exit 1\n");
    }
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("KESTREL_WINE", QFile::encodeName(wine));
    const QString text = dir.filePath(QStringLiteral("My Data/unit.txt"));
    const ConverterRun run = RunConverterProcess(exe, text);
    qunsetenv("KESTREL_WINE");
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.throughWine);
    EXPECT_TRUE(run.standardError.data.contains("0024:fixme:ntdll:")); // captured, just not shown
    const QString refusal = QStringLiteral("grindle: %1:7:3: expected \";\" at the end of the value")
                                .arg(WindowsPathForWine(QFileInfo(text).absoluteFilePath()));
    EXPECT_EQ(run.outputLines(), QStringList{refusal});
    EXPECT_EQ(run.details(), QStringLiteral("The converter printed:\n%1\nExit code: 1").arg(refusal));
    const NamedLine named = FindNamedLine(run.outputLines(), QStringLiteral("unit.txt"));
    EXPECT_EQ(named.line, 7);
    EXPECT_EQ(named.column, 3);
}
