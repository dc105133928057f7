#pragma once
// Sets environment variables for one test and restores them when it ends.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment() {
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
