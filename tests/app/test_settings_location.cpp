// Where the real window keeps its settings and readme: in the user's XDG
// folders when the program is installed for all users, with the packaged
// converter as the default; the About box names the file; a settings file that
// cannot be written is said once in the status line and costs no dialog.

#include "ui/feedback.h"
#include "app/main_window.h"
#include "support/scoped_environment.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A program folder as the package installs it, and a user of our own.
struct InstalledProgram {
    InstalledProgram() {
        environment.set("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")));
        environment.set("XDG_DATA_HOME", home.filePath(QStringLiteral("data")));
        WriteFile(exeDir() + QLatin1String(SystemInstallMarker), "for all users\n");
    }
    QString exeDir() const { return program.path() + QLatin1Char('/'); }
    QString settingsFile() const {
        return home.filePath(QStringLiteral("config/kestrelbench/Kestrelbench.ini"));
    }
    QString readmeFile() const { return home.filePath(QStringLiteral("data/kestrelbench/Readme.rtf")); }
    std::unique_ptr<TFormMain> start(bool handOverUnavailable = false) {
        TFormMain::Options options;
        options.exeDir = exeDir();
        options.dialogs = &dialogs;
        options.handOverUnavailable = handOverUnavailable;
        return std::make_unique<TFormMain>(options);
    }

    QTemporaryDir program;
    QTemporaryDir home;
    ScopedEnvironment environment;
    ScriptedDialogs dialogs;
};
} // namespace

class SettingsLocationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installedProgramKeepsEverythingInTheUsersFolders();
    void theSettingsConverterWinsOverThePackagedOne();
    void aboutNamesTheSettingsFileInUse();
    void unwritableSettingsAreSaidOnceWithoutADialog();
};

void SettingsLocationTest::installedProgramKeepsEverythingInTheUsersFolders() {
    InstalledProgram installed;
    QVERIFY(WriteFile(installed.settingsFile(), "[Main]\r\nWidth=1000\r\nHeight=700\r\n"));
    auto window = installed.start();
    // Read from the user's folder, the readme written into the user's data folder.
    QCOMPARE(window->size(), QSize(1000, 700));
    QVERIFY(ReadFile(installed.readmeFile()).startsWith("{\\rtf"));
    // No Grindle key: the converter installed beside the program.
    QCOMPARE(window->ConverterPath, installed.exeDir() + QStringLiteral("grindle"));
    QVERIFY(window->feedback().statusText().isEmpty());
    window->resize(1100, 750);
    window->close();
    const QByteArray written = ReadFile(installed.settingsFile());
    QVERIFY(written.contains("Width=1100\r\n"));
    QVERIFY(written.contains("Grindle=" + QFile::encodeName(installed.exeDir()) + "grindle\r\n"));
    // The program's folder holds what the package put there, nothing more.
    QCOMPARE(QDir(installed.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QLatin1String(SystemInstallMarker)});
    QVERIFY(installed.dialogs.calls.isEmpty());
}

void SettingsLocationTest::theSettingsConverterWinsOverThePackagedOne() {
    InstalledProgram installed;
    QVERIFY(WriteFile(installed.settingsFile(), "[Main]\r\nGrindle=/opt/game/Grindle.exe\r\n"));
    QCOMPARE(installed.start()->ConverterPath, QStringLiteral("/opt/game/Grindle.exe"));
    // An empty value names no converter: the packaged one, as when the key is missing.
    QVERIFY(WriteFile(installed.settingsFile(), "[Main]\r\nGrindle=\r\n"));
    QCOMPARE(installed.start()->ConverterPath, installed.exeDir() + QStringLiteral("grindle"));
}

void SettingsLocationTest::aboutNamesTheSettingsFileInUse() {
    InstalledProgram installed;
    auto window = installed.start();
    window->click(QStringLiteral("TBAbout"));
    QCOMPARE(installed.dialogs.texts(QStringLiteral("info")).size(), 1);
    const QStringList lines =
        installed.dialogs.texts(QStringLiteral("info")).at(0).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.last(), QStringLiteral("Settings: ") + QDir::toNativeSeparators(installed.settingsFile()));

    // Beside a writable program folder without the marker: the file there.
    QTemporaryDir portable;
    ScriptedDialogs dialogs;
    TFormMain::Options options;
    options.exeDir = portable.path();
    options.dialogs = &dialogs;
    TFormMain besides(options);
    besides.click(QStringLiteral("TBAbout"));
    QVERIFY(dialogs.texts(QStringLiteral("info"))
                .value(0)
                .endsWith(QStringLiteral("Settings: ") +
                          QDir::toNativeSeparators(portable.filePath(QStringLiteral("Kestrelbench.ini")))));
}

void SettingsLocationTest::unwritableSettingsAreSaidOnceWithoutADialog() {
    InstalledProgram installed;
    // A regular file where the user's config folder would be: not even root can make the folder.
    const QString blocker = installed.home.filePath(QStringLiteral("config"));
    QVERIFY(WriteFile(blocker, "not a folder"));
    auto window = installed.start();
    const QString notice = TFormMain::SettingsNotWritableText(installed.settingsFile());
    QCOMPARE(window->feedback().statusText(), notice);
    QVERIFY(notice.contains(QDir::toNativeSeparators(installed.settingsFile())));
    QVERIFY(notice.contains(QStringLiteral("cannot be written")));
    // The rest works: the readme lies in the other folder, the packaged converter is the default.
    QVERIFY(QFileInfo(installed.readmeFile()).size() > 0);
    QCOMPARE(window->ConverterPath, installed.exeDir() + QStringLiteral("grindle"));
    window->close();
    QCOMPARE(ReadFile(blocker), QByteArray("not a folder"));
    QVERIFY(installed.dialogs.calls.isEmpty());

    // With the other start-up notice, both are said in the one line.
    auto unreachable = installed.start(true);
    QCOMPARE(unreachable->feedback().statusText(),
             notice + QStringLiteral("; ") + TFormMain::HandOverUnavailableText());
}

QTEST_MAIN(SettingsLocationTest)
#include "test_settings_location.moc"
