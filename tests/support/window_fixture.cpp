#include "support/window_fixture.h"

#include <QFile>

WindowFixture::WindowFixture(const QStringList &arguments, const QByteArray &settings) {
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

WindowFixture::~WindowFixture() = default;

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
