// The converter bridge against real processes: a fake converter (fake_converter.cpp)
// copied into a folder whose name holds blanks and non-ASCII letters.

#include "converter/converter_waits.h"
#include "converter/file_size.h"
#include "converter/run_converter.h"
#include "support/fifo_guard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Runs body from inside the application's event loop, as the program's commands run, so
// that QCoreApplication::quit() behaves as in the program. Returning from here also
// clears a quit request that body made.
void InsideApplicationLoop(const std::function<void()> &body) {
    QTimer::singleShot(0, [&body] {
        body();
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
}

bool WaitForFile(const QString &path, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (GetFileSizeOrZero(path) == 0) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class RunConverterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString convDir = dir.filePath(QStringLiteral("Conv Dir \u00E4\u00DF"));
        const QString dataDir = dir.filePath(QStringLiteral("My Data \u00FC \u041F"));
        ASSERT_TRUE(QDir().mkpath(convDir));
        ASSERT_TRUE(QDir().mkpath(dataDir));
        converter = convDir + QStringLiteral("/grindle");
        ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_CONVERTER_PATH), converter));
        ASSERT_TRUE(QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        input = dataDir + QStringLiteral("/unit \u00F6 1.rbf");
        output = dataDir + QStringLiteral("/unit \u00F6 1.txt");
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RBF");
        report = dir.filePath(QStringLiteral("report.txt"));
        qputenv("FAKE_CONVERTER_REPORT", QFile::encodeName(report));
    }
    void TearDown() override {
        qunsetenv("FAKE_CONVERTER_MODE");
        qunsetenv("FAKE_CONVERTER_OUT");
        qunsetenv("FAKE_CONVERTER_ERR");
        qunsetenv("FAKE_CONVERTER_REPORT");
        EXPECT_EQ(ConversionInProgress(), 0);
    }
    static void Mode(const char *mode) { qputenv("FAKE_CONVERTER_MODE", mode); }
    QStringList ReportLines() const {
        QFile file(report);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray &line : file.readAll().split('\n'))
            lines << QFile::decodeName(line);
        return lines;
    }

    QTemporaryDir dir;
    QString converter;
    QString input;
    QString output;
    QString report;
};

} // namespace

TEST_F(RunConverterTest, RunsInItsFolderWithThePathAsOneArgument) {
    Mode("report,output");
    ASSERT_TRUE(RunConverter(converter, input));
    const QStringList lines = ReportLines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QFileInfo(QFileInfo(converter).path()).canonicalFilePath());
    EXPECT_EQ(lines.mid(1, 3), (QStringList{QStringLiteral("-q"), QStringLiteral("-i"), input}));
    EXPECT_EQ(lines.size(), 5); // three arguments and the end of the last line
    EXPECT_GT(GetFileSizeOrZero(output), 0);
}

TEST_F(RunConverterTest, ConvertsBackFromText) {
    Mode("output");
    QFile text(output);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("| a: 1;\r\n");
    text.close();
    ASSERT_TRUE(QFile::remove(input));
    EXPECT_TRUE(RunConverter(converter, output));
    EXPECT_GT(GetFileSizeOrZero(input), 0);
}

TEST_F(RunConverterTest, RelativeConverterPathStillRunsInItsFolder) {
    Mode("report");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString relative = QDir(dir.path()).relativeFilePath(converter);
    const bool ran = RunConverter(relative, input);
    QDir::setCurrent(saved);
    ASSERT_TRUE(ran);
    EXPECT_EQ(ReportLines().value(0), QFileInfo(QFileInfo(converter).path()).canonicalFilePath());
}

TEST_F(RunConverterTest, AConverterThatFailsStillRan) {
    Mode("exit=3");
    EXPECT_TRUE(RunConverter(converter, input));
    EXPECT_EQ(GetFileSizeOrZero(output), 0);
    Mode("empty,exit=1");
    EXPECT_TRUE(RunConverter(converter, input));
    EXPECT_TRUE(QFile::exists(output));
    EXPECT_EQ(GetFileSizeOrZero(output), 0);
    // An error code with an output file still counts: only the file is judged later.
    Mode("output,exit=5");
    EXPECT_TRUE(RunConverter(converter, input));
    EXPECT_GT(GetFileSizeOrZero(output), 0);
}

TEST_F(RunConverterTest, TheRunTellsHowTheConverterEnded) {
    Mode("output");
    ConverterRun run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.end, ConverterRun::End::Exited);
    EXPECT_TRUE(run.succeeded());
    EXPECT_TRUE(run.endText().isEmpty());

    // A half-written output with exit code 1 is a failure, although the file is not empty.
    Mode("half");
    run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.end, ConverterRun::End::Exited);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.succeeded());
    EXPECT_GT(GetFileSizeOrZero(output), 0);
    EXPECT_EQ(run.endText(), QStringLiteral("The converter ended with exit code 1."));

#ifdef Q_OS_UNIX
    Mode("partial,signal=9");
    run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.end, ConverterRun::End::Signalled);
    EXPECT_EQ(run.signal, 9);
    EXPECT_FALSE(run.succeeded());
    EXPECT_EQ(run.endText(), QStringLiteral("The converter was ended by signal 9."));
    // RunConverter keeps its meaning: the converter was started and has ended.
    EXPECT_TRUE(RunConverter(converter, input));
#endif

    run = RunConverterProcess(dir.filePath(QStringLiteral("missing/grindle")), input);
    EXPECT_FALSE(run.started());
    EXPECT_FALSE(run.succeeded());
}

TEST_F(RunConverterTest, WhatTheConverterPrintsOnEitherStreamIsKept) {
    qputenv("FAKE_CONVERTER_OUT", "converting\nstill converting\n");
    qputenv("FAKE_CONVERTER_ERR", "grindle: unit.txt:7:3: expected \";\"\r\nlast words without a break");
    Mode("out,err,exit=1");
    ConverterRun run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardOutput.data, "converting\nstill converting\n");
    EXPECT_EQ(run.standardError.data, "grindle: unit.txt:7:3: expected \";\"\r\nlast words without a break");
    EXPECT_EQ(run.details(),
              QStringLiteral("The converter printed:\nconverting\nstill converting\n"
                             "grindle: unit.txt:7:3: expected \";\"\nlast words without a break\n"
                             "Exit code: 1"));
    EXPECT_EQ(FindNamedLine(run.outputLines(), QStringLiteral("unit.txt")).line, 7);
    EXPECT_EQ(run.workingFolder, QFileInfo(converter).absolutePath());
    EXPECT_EQ(run.arguments, (QStringList{QStringLiteral("-q"), QStringLiteral("-i"), input}));

#ifdef Q_OS_UNIX
    // What was said before a signal ended the converter is kept.
    Mode("err,signal=9");
    run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.end, ConverterRun::End::Signalled);
    EXPECT_TRUE(run.details().endsWith(QStringLiteral("last words without a break\nEnded by signal 9")))
        << qPrintable(run.details());
#endif

    // Non-ASCII output in UTF-8, and bytes that are no UTF-8 (a Windows converter's code page).
    qputenv("FAKE_CONVERTER_ERR", "Gr\xC3\xB6\xC3\x9F"
                                  "e falsch in Zeile 3\n");
    Mode("err,exit=2");
    EXPECT_EQ(RunConverterProcess(converter, input).outputLines(),
              QStringList{QStringLiteral("Größe falsch in Zeile 3")});
    qputenv("FAKE_CONVERTER_ERR", "Gr\xF6\xDF"
                                  "e falsch in Zeile 3\n");
    EXPECT_EQ(RunConverterProcess(converter, input).outputLines(),
              QStringList{QStringLiteral("Größe falsch in Zeile 3")});

    // A line without end is cut for the message. (An environment variable holds at most 128 KiB.)
    qputenv("FAKE_CONVERTER_ERR", QByteArray(100000, 'x'));
    run = RunConverterProcess(converter, input);
    EXPECT_EQ(run.details(),
              QStringLiteral(
                  "The converter printed:\n[%1 bytes left out]\n%2...\n(%3 more bytes of output were not "
                  "kept.)\nExit code: 2")
                  .arg(100000 - CapturedStream::Limit / 2)
                  .arg(QString(300, QLatin1Char('x')))
                  .arg(100000 - CapturedStream::Limit));

    // A run that printed nothing says so, and gives its exit code all the same.
    Mode("empty");
    run = RunConverterProcess(converter, input);
    EXPECT_TRUE(run.succeeded());
    EXPECT_EQ(run.details(), QStringLiteral("The converter printed nothing.\nExit code: 0"));
    // One that never started has nothing to tell beyond its message.
    EXPECT_TRUE(
        RunConverterProcess(dir.filePath(QStringLiteral("missing/grindle")), input).details().isEmpty());
}

TEST_F(RunConverterTest, AMegabyteOfOutputIsCappedAndItsEndShown) {
    // 1 MiB on each stream (and nobody blocks on a full pipe on the way).
    Mode("spam=1048576,output");
    ConverterRun run = RunConverterProcess(converter, input);
    EXPECT_TRUE(run.succeeded());
    for (const CapturedStream *stream : {&run.standardOutput, &run.standardError}) {
        EXPECT_EQ(stream->data.size() + stream->tail.size(), CapturedStream::Limit);
        EXPECT_EQ(stream->dropped, 1048576 - CapturedStream::Limit);
    }
    // The last 20 lines are the converter's last ones, not the last ones that fitted.
    Mode("lines=60000,exit=1");
    run = RunConverterProcess(converter, input);
    const QStringList details = run.details().split(QLatin1Char('\n'));
    ASSERT_EQ(details.size(), 1 + 20 + 2) << qPrintable(run.details());
    EXPECT_TRUE(details.first().startsWith(QStringLiteral("The converter's last 20 of ")))
        << qPrintable(details.first());
    EXPECT_EQ(details.at(20), QStringLiteral("output line 60000"));
    EXPECT_EQ(details.at(1), QStringLiteral("output line 59981"));
    EXPECT_TRUE(details.at(21).contains(QStringLiteral("bytes of output"))) << qPrintable(details.at(21));
    EXPECT_EQ(details.at(22), QStringLiteral("Exit code: 1"));
}

TEST_F(RunConverterTest, EveryRunIsLogged) {
    QTemporaryDir state;
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    qputenv("FAKE_CONVERTER_ERR", "line 4: missing value\n");
    Mode("err,exit=1");
    RunConverterProcess(converter, input);
    Mode("output");
    RunConverter(converter, input);
    RunConverter(dir.filePath(QStringLiteral("missing/grindle")), input);
    qputenv("XDG_STATE_HOME", saved);
    QFile log(state.filePath(QStringLiteral("kestrelbench/converter.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_EQ(text.count(QStringLiteral("\n  ended: ")), 3) << qPrintable(text);
    EXPECT_TRUE(text.contains(
        QStringLiteral("\"%1\" -q -i \"%2\"\n").arg(QFileInfo(converter).absoluteFilePath(), input)));
    EXPECT_TRUE(text.contains(QStringLiteral("\n  ended: exit code 1 after ")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n  stderr: 1 lines\n    line 4: missing value\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n  ended: exit code 0 after ")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n  ended: not started after ")));
}

#ifdef Q_OS_UNIX
TEST_F(RunConverterTest, StoppingALongWaitEndsTheConverter) {
    ConverterWaits &waits = ConverterWaits::instance();
    const int patience = waits.patienceMs();
    waits.setPatienceMs(100);
    QList<int> counts;
    const QMetaObject::Connection seen =
        QObject::connect(&waits, &ConverterWaits::longWaitsChanged, [&counts](int n) { counts << n; });
    // The user stops waiting once the run counts as long; the second converter ignores the
    // polite request and must be killed.
    const QMetaObject::Connection stop =
        QObject::connect(&waits, &ConverterWaits::longWaitsChanged, [](int n) {
            if (n > 0)
                QTimer::singleShot(50, [] { ConverterWaits::instance().stopLongWaits(); });
        });
    for (const char *mode : {"pid,sleep=60000,output", "pid,noterm,sleep=60000,output"}) {
        counts.clear();
        Mode(mode);
        const ConverterRun run = RunConverterProcess(converter, input);
        EXPECT_EQ(run.end, ConverterRun::End::Stopped) << mode;
        EXPECT_FALSE(run.succeeded()) << mode;
        EXPECT_EQ(counts, (QList<int>{1, 0})) << mode;
        EXPECT_EQ(waits.longWaits(), 0);
        // Ended, not left running: the process is gone and wrote nothing.
        const pid_t pid = static_cast<pid_t>(ReportLines().value(0).toLongLong());
        ASSERT_GT(pid, 0) << mode;
        EXPECT_EQ(::kill(pid, 0), -1) << mode;
        EXPECT_EQ(errno, ESRCH) << mode;
        EXPECT_FALSE(QFile::exists(output)) << mode;
    }
    // A stop request before the patience time has passed leaves a wait alone.
    QObject::disconnect(stop);
    Mode("sleep=300,output");
    waits.setPatienceMs(10000);
    QTimer::singleShot(50, [] { ConverterWaits::instance().stopLongWaits(); });
    EXPECT_TRUE(RunConverterProcess(converter, input).succeeded());
    QObject::disconnect(seen);
    waits.setPatienceMs(patience);
}
#endif

TEST_F(RunConverterTest, ConvertersThatCannotStart) {
    EXPECT_FALSE(RunConverter(dir.filePath(QStringLiteral("missing/grindle")), input));
    EXPECT_FALSE(RunConverter(QString(), input));
    EXPECT_FALSE(RunConverter(dir.path(), input)); // a folder
    const QString plain = dir.filePath(QStringLiteral("not executable"));
    ASSERT_TRUE(QFile::copy(converter, plain));
    ASSERT_TRUE(QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_FALSE(RunConverter(plain, input));
    EXPECT_EQ(GetFileSizeOrZero(output), 0);
}

TEST_F(RunConverterTest, ChattyOrReadingConvertersDoNotHang) {
    InsideApplicationLoop([&] {
        // Should the converter block on a pipe, this ends the wait and the test fails.
        bool watchdogFired = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            watchdogFired = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(20000);
        Mode("spam=4000000,stdin,output");
        EXPECT_TRUE(RunConverter(converter, input));
        EXPECT_FALSE(watchdogFired);
        EXPECT_GT(GetFileSizeOrZero(output), 0);
    });
}

TEST_F(RunConverterTest, EventsKeepRunningDuringTheWait) {
    // The converter ends only once the timer, an event, has run five times during the wait; a
    // blocked wait would keep it waiting (for its 60 s at most) and count no tick.
    const QString release = dir.filePath(QStringLiteral("release"));
    qputenv("FAKE_CONVERTER_RELEASE", QFile::encodeName(release));
    Mode("hold,output");
    int ticks = 0;
    int ticksWhileCounted = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (ConversionInProgress() == 1)
            ++ticksWhileCounted;
        if (ticks == 5)
            QFile(release).open(QIODevice::WriteOnly);
    });
    timer.start(20);
    EXPECT_TRUE(RunConverter(converter, input));
    timer.stop();
    qunsetenv("FAKE_CONVERTER_RELEASE");
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(ticksWhileCounted, ticks);
    EXPECT_GT(GetFileSizeOrZero(output), 0);
}

// The converters below wait until the test lets them go: a wait that ended while they still
// waited is known to have ended early, whatever the machine's load.
TEST_F(RunConverterTest, QuitEndsTheWaitButLeavesTheConverterRunning) {
    const QString release = dir.filePath(QStringLiteral("release"));
    qputenv("FAKE_CONVERTER_RELEASE", QFile::encodeName(release));
    InsideApplicationLoop([&] {
        Mode("hold,output");
        QTimer::singleShot(100, [] { QCoreApplication::quit(); });
        EXPECT_TRUE(RunConverter(converter, input));
        EXPECT_EQ(ConversionInProgress(), 0);
        EXPECT_FALSE(QFile::exists(output));

        // Once the application is quitting, a new wait ends at once.
        const QString second = QFileInfo(input).path() + QStringLiteral("/second.rbf");
        const QString secondOutput = QFileInfo(input).path() + QStringLiteral("/second.txt");
        QFile(second).open(QIODevice::WriteOnly);
        EXPECT_TRUE(RunConverter(converter, second));
        EXPECT_FALSE(QFile::exists(secondOutput));

        // Neither converter was killed: both still write their output once let go.
        QFile(release).open(QIODevice::WriteOnly);
        EXPECT_TRUE(WaitForFile(output, 15000));
        EXPECT_TRUE(WaitForFile(secondOutput, 15000));
    });
    qunsetenv("FAKE_CONVERTER_RELEASE");
}

TEST_F(RunConverterTest, ExitEndsTheWaitOutsideTheApplicationLoop) {
    const QString release = dir.filePath(QStringLiteral("release"));
    qputenv("FAKE_CONVERTER_RELEASE", QFile::encodeName(release));
    Mode("hold,output");
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    EXPECT_TRUE(RunConverter(converter, input));
    EXPECT_FALSE(QFile::exists(output));
    QFile(release).open(QIODevice::WriteOnly);
    EXPECT_TRUE(WaitForFile(output, 15000));
    InsideApplicationLoop([] {}); // clears the quit request for the tests that follow
    qunsetenv("FAKE_CONVERTER_RELEASE");
}

#ifdef Q_OS_UNIX
TEST_F(RunConverterTest, TheWaitLeavesTheProcessorIdle) {
    const auto cpuSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    Mode("sleep=1000");
    const double cpuBefore = cpuSeconds();
    ASSERT_TRUE(RunConverter(converter, input));
    const double cpu = cpuSeconds() - cpuBefore;
    // A polling wait burns up to the whole second the converter sleeps; a sleeping one only the
    // start of the process. (A busy machine only lowers what a polling wait can burn.)
    EXPECT_LT(cpu, 0.25) << "cpu " << cpu << " s";
}
#endif

TEST(GetFileSizeOrZero, MissingEmptyFolderAndUnreadableGiveZero) {
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty"));
    const QString one = dir.filePath(QStringLiteral("one byte \u00E9"));
    QFile(empty).open(QIODevice::WriteOnly);
    QFile oneFile(one);
    ASSERT_TRUE(oneFile.open(QIODevice::WriteOnly));
    oneFile.write("x");
    oneFile.close();
    EXPECT_EQ(GetFileSizeOrZero(dir.filePath(QStringLiteral("missing"))), 0);
    EXPECT_EQ(GetFileSizeOrZero(empty), 0);
    EXPECT_EQ(GetFileSizeOrZero(dir.path()), 0);
    EXPECT_EQ(GetFileSizeOrZero(QString()), 0);
    EXPECT_EQ(GetFileSizeOrZero(one), 1);

    ASSERT_TRUE(QFile::setPermissions(one, QFile::Permissions()));
    QFile probe(one);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads the file anyway";
    EXPECT_EQ(GetFileSizeOrZero(one), 0);
}

#ifdef Q_OS_UNIX
TEST(GetFileSizeOrZero, OnlyRegularFilesAreOpened) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("table.ucs"));
    FifoGuard guard(fifo);
    ASSERT_TRUE(guard.made());
    // Opening a FIFO for reading would wait for a writer that never comes.
    EXPECT_EQ(GetFileSizeOrZero(fifo), 0);
    EXPECT_FALSE(guard.finish()) << "the FIFO was opened";
    // A device is no file either, even one that reads without blocking.
    EXPECT_EQ(GetFileSizeOrZero(QStringLiteral("/dev/zero")), 0);
    // A link to a regular file measures the file.
    const QString file = dir.filePath(QStringLiteral("real"));
    QFile real(file);
    ASSERT_TRUE(real.open(QIODevice::WriteOnly));
    real.write("abc");
    real.close();
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_EQ(GetFileSizeOrZero(link), 3);
}
#endif
