// The program: one instance per user. A later start hands its files to the
// running instance, which comes to the front, and ends with exit code 0.
// --help and --version print and end before any of that.
//
// The hand-over runs before any GUI object exists, under a plain
// QCoreApplication: a later start from a terminal without a display still
// reaches the running instance. Only the first instance starts the GUI.

#include "app/main_window.h"
#include "app/program_arguments.h"
#include "app/single_instance.h"
#include "platform/user_runtime.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
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

// Decides the role without a GUI. Second: hands the files over and returns true
// (the process then ends with 0). First: returns false with the instance holding
// its lock, to listen once the GUI runs.
bool HandedOver(int &argc, char *argv[], SingleInstance &instance) {
    QCoreApplication core(argc, argv);
    if (instance.claim() == SingleInstance::Role::First)
        return false;
    HandOverMessage message;
    for (const QString &file : ParseProgramArguments(QCoreApplication::arguments()).files) {
        // Absolute: the running instance has another current folder.
        if (!file.isEmpty())
            message.paths << QFileInfo(file).absoluteFilePath();
    }
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

// --help, --version and a wrong option: answered from the raw arguments, before
// the lock, the channel or any window exists. Returns the exit code, or -1 to run.
int AnswerWithoutRunning(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ProgramArguments parsed = ParseProgramArguments(arguments);
    switch (parsed.action) {
    case ProgramArguments::Action::Run:
        return -1;
    case ProgramArguments::Action::Help:
        std::fputs(ProgramHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case ProgramArguments::Action::Version:
        std::fputs(ProgramVersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case ProgramArguments::Action::Error:
        break;
    }
    std::fprintf(stderr, "kestrelbench: %s (see kestrelbench --help)\n",
                 parsed.error.toLocal8Bit().constData());
    return 2;
}
} // namespace

int main(int argc, char *argv[]) {
    if (const int answered = AnswerWithoutRunning(argc, argv); answered >= 0)
        return answered;
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
