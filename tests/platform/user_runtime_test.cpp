// The private folder for the single-instance channel: only a real folder of
// this user with mode 0700 will do, never one that another user could make.

#include "platform/user_runtime.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

namespace {

// Sets environment variables for one test and restores them after it.
class Environment {
public:
    ~Environment() {
        for (auto it = m_old.cbegin(); it != m_old.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }
    void set(const char *name, const QString &value) {
        remember(name);
        qputenv(name, QFile::encodeName(value));
    }
    void unset(const char *name) {
        remember(name);
        qunsetenv(name);
    }

private:
    void remember(const char *name) {
        if (!m_old.contains(name))
            m_old.insert(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    }
    QMap<QByteArray, QByteArray> m_old;
};

int Mode(const QString &path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QString MakeFolder(const QString &path, int mode) {
    QDir().mkpath(path);
    chmod(QFile::encodeName(path).constData(), mode_t(mode));
    return path;
}

} // namespace

TEST(PrivateRuntimeFolder, TheDesktopsRuntimeFolderWhenItIsPrivate) {
    QTemporaryDir scratch;
    Environment environment;
    environment.set("XDG_CACHE_HOME", scratch.filePath(QStringLiteral("cache")));
    const QString runtime = MakeFolder(scratch.filePath(QStringLiteral("run")), 0700);
    environment.set("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(PrivateRuntimeFolder(), runtime);
    // Open to the group, a symbolic link to a private folder, or relative: not used.
    for (const QString &other :
         {MakeFolder(scratch.filePath(QStringLiteral("group")), 0750), QStringLiteral("run")}) {
        environment.set("XDG_RUNTIME_DIR", other);
        EXPECT_EQ(PrivateRuntimeFolder(), scratch.filePath(QStringLiteral("cache/kestrelbench")));
    }
    const QString link = scratch.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(runtime, link));
    environment.set("XDG_RUNTIME_DIR", link);
    EXPECT_EQ(PrivateRuntimeFolder(), scratch.filePath(QStringLiteral("cache/kestrelbench")));
}

TEST(PrivateRuntimeFolder, WithoutRuntimeFolderAPrivateFolderInTheCache) {
    QTemporaryDir scratch;
    Environment environment;
    environment.unset("XDG_RUNTIME_DIR");
    // The fixed names of the temporary folder, made first by someone else: never used.
    const QString tmp = MakeFolder(scratch.filePath(QStringLiteral("tmp")), 0700);
    MakeFolder(tmp + QStringLiteral("/Kestrelbench-") + QString::number(geteuid()), 0777);
    MakeFolder(tmp + QStringLiteral("/runtime-") + CurrentUserName(), 0777);
    environment.set("TMPDIR", tmp);
    const QString cache = scratch.filePath(QStringLiteral("new/cache"));
    environment.set("XDG_CACHE_HOME", cache);
    const QString folder = PrivateRuntimeFolder();
    EXPECT_EQ(folder, cache + QStringLiteral("/kestrelbench"));
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_TRUE(IsPrivateFolder(folder));
    // Found again at the next start.
    EXPECT_EQ(PrivateRuntimeFolder(), folder);

    // A folder of that name with another mode is not made private by us: there is none.
    chmod(QFile::encodeName(folder).constData(), 0777);
    EXPECT_EQ(PrivateRuntimeFolder(), QString());
    EXPECT_EQ(Mode(folder), 0777);
    chmod(QFile::encodeName(folder).constData(), 0700);
    // Nor a link in its place.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QFile::link(MakeFolder(scratch.filePath(QStringLiteral("elsewhere")), 0700), folder));
    EXPECT_EQ(PrivateRuntimeFolder(), QString());
}

TEST(PrivateRuntimeFolder, IsPrivateFolderChecksKindOwnerAndMode) {
    QTemporaryDir scratch;
    EXPECT_TRUE(IsPrivateFolder(MakeFolder(scratch.filePath(QStringLiteral("a")), 0700)));
    EXPECT_FALSE(IsPrivateFolder(MakeFolder(scratch.filePath(QStringLiteral("b")), 0701)));
    EXPECT_FALSE(IsPrivateFolder(MakeFolder(scratch.filePath(QStringLiteral("c")), 0500)));
    EXPECT_FALSE(IsPrivateFolder(scratch.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(IsPrivateFolder(QString()));
    QFile file(scratch.filePath(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    chmod(QFile::encodeName(file.fileName()).constData(), 0700);
    EXPECT_FALSE(IsPrivateFolder(file.fileName()));
    // The root folder: open to all (and another user's, unless this is root).
    EXPECT_FALSE(IsPrivateFolder(QStringLiteral("/")));
}
#endif
