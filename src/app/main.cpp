// The program: one instance per user. A later start hands its argument 1 to
// the running instance, which comes to the front, and ends with exit code 0.
//
// The hand-over runs before any GUI object exists, under a plain
// QCoreApplication: a later start from a terminal without a display still
// reaches the running instance. Only the first instance starts the GUI.

#include "app/main_window.h"
#include "app/single_instance.h"
#include "platform/user_runtime.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>

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

// Decides the role without a GUI. Second: hands argument 1 over and returns true
// (the process then ends with 0). First: returns false with the instance holding
// its lock, to listen once the GUI runs.
bool HandedOver(int &argc, char *argv[], SingleInstance &instance) {
    QCoreApplication core(argc, argv);
    if (instance.claim() == SingleInstance::Role::First)
        return false;
    const QStringList arguments = QCoreApplication::arguments();
    HandOverMessage message;
    message.hasPath = arguments.size() > 1;
    // Absolute: the running instance has another current folder.
    if (message.hasPath && !arguments.at(1).isEmpty())
        message.path = QFileInfo(arguments.at(1)).absoluteFilePath();
    message.activationEnv = ActivationEnv();
    instance.handOver(message); // nobody answering ends silently, too
    return true;
}

int Run(SingleInstance &instance) {
    instance.listen();
    TFormMain::Options options;
    options.arguments = QApplication::arguments();
    options.instance = &instance;
    options.handOverUnavailable = !instance.handOverAvailable();
    TFormMain window(options);
    window.show();
    QApplication::exec();
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    auto instance = std::make_unique<SingleInstance>(PrivateRuntimeFolder(), SingleInstance::DefaultName());
    try {
        if (HandedOver(argc, argv, *instance))
            return 0;
    } catch (...) {
        return 255; // no GUI to show "Internal Error!" with yet
    }
    QApplication app(argc, argv);
    try {
        return Run(*instance);
    } catch (...) {
        QtDialogs(nullptr).ShowError(QStringLiteral("Internal Error!"));
        return 255;
    }
}
