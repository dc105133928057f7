// The converter log: where it lies, what an entry holds, and that it never grows past its limit.

#include "converter/converter_log.h"
#include "converter/run_converter.h"
#include "platform/state_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Restores an environment variable when the test ends.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char *name) : m_name(name), m_had(qEnvironmentVariableIsSet(name)) {
        m_value = qgetenv(name);
    }
    ~EnvironmentGuard() {
        if (m_had)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_value;
};

} // namespace

#ifndef Q_OS_WIN
TEST(StateFolder, FollowsXdgStateHomeElseTheHomeFolder) {
    const EnvironmentGuard guard("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/var/tmp/my state");
    EXPECT_EQ(StateFolder(), QStringLiteral("/var/tmp/my state/kestrelbench"));
    EXPECT_EQ(ConverterLogPath(), QStringLiteral("/var/tmp/my state/kestrelbench/converter.log"));
    // A relative path is to be ignored, as an unset one.
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(StateFolder(), QDir::homePath() + QStringLiteral("/.local/state/kestrelbench"));
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(StateFolder(), QDir::homePath() + QStringLiteral("/.local/state/kestrelbench"));
}
#endif

TEST(ConverterLog, AnEntryTellsTheWholeRun) {
    ConverterRun run;
    run.end = ConverterRun::End::Exited;
    run.exitCode = 1;
    run.runMs = 42;
    run.program = QStringLiteral("/opt/conv dir/grindle");
    run.arguments =
        QStringList{QStringLiteral("-q"), QStringLiteral("-i"), QStringLiteral("/d/My Data/ä.txt")};
    run.workingFolder = QStringLiteral("/opt/conv dir");
    QByteArray out;
    for (int i = 1; i <= 30; ++i)
        out += "line " + QByteArray::number(i) + "\n";
    run.standardOutput.append(out);
    run.standardError.append("grindle: /d/My Data/\xC3\xA4.txt:7:3: expected \";\"\n");
    const QString entry =
        QString::fromUtf8(ConverterLogEntry(run, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 8), Qt::UTC)));
    EXPECT_TRUE(entry.startsWith(
        QStringLiteral("2026-03-04T05:06:07.008Z \"/opt/conv dir/grindle\" -q -i \"/d/My Data/ä.txt\"\n")))
        << qPrintable(entry);
    EXPECT_TRUE(entry.contains(QStringLiteral("\n  folder: /opt/conv dir\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\n  ended: exit code 1 after 42 ms\n")));
    // First and last lines of a long output.
    EXPECT_TRUE(entry.contains(QStringLiteral("  stdout: 30 lines\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("    line 5\n    ...\n    line 26\n")));
    EXPECT_FALSE(entry.contains(QStringLiteral("line 6\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("    line 30\n  stderr: 1 lines\n")));
    EXPECT_TRUE(entry.endsWith(QStringLiteral("    grindle: /d/My Data/ä.txt:7:3: expected \";\"\n")));

    ConverterRun refused;
    refused.program = QStringLiteral("/opt/Grindle.exe");
    refused.refusal = QStringLiteral("x cannot be passed to wine");
    EXPECT_TRUE(QString::fromUtf8(ConverterLogEntry(refused, QDateTime::currentDateTimeUtc()))
                    .contains(QStringLiteral("ended: refused: x cannot be passed to wine")));
}

TEST(ConverterLog, RotatesOnceToStayUnderItsLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new folder/converter.log"));
    const QByteArray entry(300, 'e');
    const qint64 limit = 1000;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(AppendToConverterLog(path, QByteArray::number(i) + entry, limit));
    EXPECT_EQ(ReadAll(path).size(), 3 * 301);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".1")));
    // The fourth would reach the limit: the first three move to converter.log.1.
    ASSERT_TRUE(AppendToConverterLog(path, "3" + entry, limit));
    EXPECT_EQ(ReadAll(path), "3" + entry);
    EXPECT_TRUE(ReadAll(path + QStringLiteral(".1")).startsWith("0" + entry + "1"));
    for (int i = 4; i < 9; ++i)
        ASSERT_TRUE(AppendToConverterLog(path, QByteArray::number(i) + entry, limit));
    // Only one older file is kept, and neither file reaches the limit.
    EXPECT_LT(ReadAll(path).size(), limit);
    EXPECT_LT(ReadAll(path + QStringLiteral(".1")).size(), limit);
    EXPECT_TRUE(ReadAll(path).endsWith("8" + entry));
    EXPECT_FALSE(ReadAll(path).contains("3" + entry));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".2")));
    // An entry larger than the limit alone is cut.
    ASSERT_TRUE(AppendToConverterLog(path, QByteArray(5000, 'x'), limit));
    EXPECT_LT(ReadAll(path).size(), limit);
}
