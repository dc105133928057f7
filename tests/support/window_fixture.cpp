#include "support/window_fixture.h"

#include <QFile>

WindowFixture::WindowFixture(const QStringList &arguments, const QByteArray &settings)
    : m_oldStateHome(qgetenv("XDG_STATE_HOME")) {
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_stateDir.path()));
    if (!settings.isEmpty()) {
        QFile file(exeDir() + QStringLiteral("Kestrelbench.ini"));
        if (file.open(QIODevice::WriteOnly))
            file.write(settings);
    }
    TFormMain::Options options;
    options.exeDir = exeDir();
    options.arguments = arguments;
    options.dialogs = &dialogs;
    m_window = std::make_unique<TFormMain>(options);
}

WindowFixture::~WindowFixture() {
    m_window.reset();
    qputenv("XDG_STATE_HOME", m_oldStateHome);
}

QString WindowFixture::grindlePath() {
    return QStringLiteral(KESTREL_BUILD_DIR "/grindle");
}

QString WindowFixture::writeFile(const QString &name, const QByteArray &bytes) const {
    const QString path = dataDir() + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}
