// Where the settings file and the readme go: beside a writable program folder,
// else (and always for the packaged program) in the user's XDG folders; and
// whether the chosen place can take the settings file at all.

#include "platform/settings_location.h"
#include "support/scoped_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.set("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config home")));
        environment.set("XDG_DATA_HOME", scratch.filePath(QStringLiteral("data ä")));
        QDir().mkpath(exeDir());
    }
    QString exeDir() const { return scratch.filePath(QStringLiteral("exe")) + QLatin1Char('/'); }
    void markSystemWide() const {
        QFile marker(exeDir() + QLatin1String(SystemInstallMarker));
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    }

    QTemporaryDir scratch;
    ScopedEnvironment environment;
};

TEST_F(SettingsLocationTest, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
    for (const QString &folder : {exeDir(), exeDir().chopped(1)}) {
        const SettingsLocation location = ResolveSettingsLocation(folder);
        EXPECT_TRUE(location.besideProgram);
        EXPECT_EQ(location.settingsFile, exeDir() + QStringLiteral("Kestrelbench.ini"));
        EXPECT_EQ(location.readmeDir, exeDir());
        // Beside the program the first activation asks for the converter, as it always did.
        EXPECT_TRUE(location.defaultConverter.isEmpty());
    }
    // Nothing is made or written by resolving or preparing.
    EXPECT_TRUE(PrepareSettingsLocation(ResolveSettingsLocation(exeDir())));
    EXPECT_TRUE(QDir(exeDir()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath(QStringLiteral("config home"))));
}

TEST_F(SettingsLocationTest, TheInstalledProgramUsesTheUsersFoldersAndItsOwnConverter) {
    markSystemWide();
    const SettingsLocation location = ResolveSettingsLocation(exeDir());
    EXPECT_FALSE(location.besideProgram);
    const QString config = scratch.filePath(QStringLiteral("config home/kestrelbench/"));
    const QString data = scratch.filePath(QStringLiteral("data ä/kestrelbench/"));
    EXPECT_EQ(location.settingsFile, config + QStringLiteral("Kestrelbench.ini"));
    EXPECT_EQ(location.readmeDir, data);
    EXPECT_EQ(location.defaultConverter, exeDir() + QStringLiteral("grindle"));
    // Both folders are made, with every missing parent.
    EXPECT_TRUE(PrepareSettingsLocation(location));
    EXPECT_TRUE(QFileInfo(config).isDir());
    EXPECT_TRUE(QFileInfo(data).isDir());
}

TEST_F(SettingsLocationTest, WithoutXdgVariablesTheHomeFoldersAreUsed) {
    markSystemWide();
    environment.unset("XDG_CONFIG_HOME");
    environment.unset("XDG_DATA_HOME");
    environment.set("HOME", scratch.filePath(QStringLiteral("home")));
    const SettingsLocation location = ResolveSettingsLocation(exeDir());
    EXPECT_EQ(location.settingsFile,
              scratch.filePath(QStringLiteral("home/.config/kestrelbench/Kestrelbench.ini")));
    EXPECT_EQ(location.readmeDir, scratch.filePath(QStringLiteral("home/.local/share/kestrelbench/")));
}

#ifdef Q_OS_UNIX
TEST_F(SettingsLocationTest, AReadOnlyProgramFolderSendsTheSettingsToTheUser) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the marker covers that case";
    QFile::setPermissions(exeDir(), QFile::ReadOwner | QFile::ExeOwner);
    const SettingsLocation location = ResolveSettingsLocation(exeDir());
    QFile::setPermissions(exeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(location.besideProgram);
    EXPECT_TRUE(location.settingsFile.startsWith(scratch.filePath(QStringLiteral("config home/"))));
}
#endif

TEST_F(SettingsLocationTest, PlacesThatCannotTakeTheFileAreToldEvenToRoot) {
    markSystemWide();
    // A regular file where the user's config folder would be: no folder can be made below it.
    QFile blocker(scratch.filePath(QStringLiteral("config home")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(PrepareSettingsLocation(ResolveSettingsLocation(exeDir())));
    // The readme's folder is made all the same: it lies elsewhere.
    EXPECT_TRUE(QFileInfo(scratch.filePath(QStringLiteral("data ä/kestrelbench"))).isDir());

    // A folder in the place of the file, beside the program.
    QFile::remove(exeDir() + QLatin1String(SystemInstallMarker));
    ASSERT_TRUE(QDir().mkdir(exeDir() + QStringLiteral("Kestrelbench.ini")));
    EXPECT_FALSE(PrepareSettingsLocation(ResolveSettingsLocation(exeDir())));
    // An existing regular file can be written again.
    ASSERT_TRUE(QDir().rmdir(exeDir() + QStringLiteral("Kestrelbench.ini")));
    QFile settings(exeDir() + QStringLiteral("Kestrelbench.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.close();
    EXPECT_TRUE(PrepareSettingsLocation(ResolveSettingsLocation(exeDir())));
}

} // namespace
