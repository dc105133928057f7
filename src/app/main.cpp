// The program: one instance per user. A later start hands its argument 1 to
// the running instance, which comes to the front, and ends with exit code 0.

#include "app/main_window.h"
#include "app/single_instance.h"
#include "platform/user_runtime.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileInfo>

namespace {
// The desktop's token for raising a window, taken before the toolkit starts
// (Qt's platform plugins consume these variables).
QByteArray ActivationEnv() {
    for (const char *name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return QByteArray(name) + '=' + value;
    }
    return QByteArray();
}

int Run(const QByteArray &activationEnv) {
    const QStringList arguments = QApplication::arguments();
    SingleInstance instance(PrivateRuntimeFolder(), SingleInstance::DefaultName());
    if (instance.start() == SingleInstance::Role::Second) {
        HandOverMessage message;
        message.hasPath = arguments.size() > 1;
        // Absolute: the running instance has another current folder.
        if (message.hasPath && !arguments.at(1).isEmpty())
            message.path = QFileInfo(arguments.at(1)).absoluteFilePath();
        message.activationEnv = activationEnv;
        instance.handOver(message); // nobody answering ends silently, too
        return 0;
    }
    TFormMain::Options options;
    options.arguments = arguments;
    options.instance = &instance;
    TFormMain window(options);
    window.show();
    QApplication::exec();
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    const QByteArray activationEnv = ActivationEnv();
    QApplication app(argc, argv);
    try {
        return Run(activationEnv);
    } catch (...) {
        QtDialogs(nullptr).ShowError(QStringLiteral("Internal Error!"));
        return 255;
    }
}
