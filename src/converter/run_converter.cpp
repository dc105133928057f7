#include "converter/run_converter.h"

#include "converter/wine_command.h"
#include "platform/file_names.h"
#include "ui/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

namespace {

int g_conversionWaits = 0;

// Counts one wait for ConversionInProgress for as long as it lasts.
class ConversionWaitGuard {
public:
    ConversionWaitGuard() { ++g_conversionWaits; }
    ~ConversionWaitGuard() { --g_conversionWaits; }
    ConversionWaitGuard(const ConversionWaitGuard &) = delete;
    ConversionWaitGuard &operator=(const ConversionWaitGuard &) = delete;
};

// False when the converter cannot be started at all (a Windows converter without wine).
bool Configure(QProcess &process, const QString &converterPath, const QString &inputPath) {
    // A relative program path would be looked up again from inside the new working folder.
    const bool hasFolder = !ExtractFilePath(converterPath).isEmpty();
    const QString program = hasFolder ? QFileInfo(converterPath).absoluteFilePath() : converterPath;
#ifdef Q_OS_WIN
    process.setProgram(program);
    // The converter's own command line, exactly: the path follows unquoted.
    process.setNativeArguments(QStringLiteral(" -q -i ") + inputPath);
#else
    if (NeedsWine(converterPath)) {
        const QString wine = FindWine();
        if (wine.isEmpty() || !QFileInfo(program).isFile())
            return false;
        process.setProgram(wine);
        process.setArguments(WineArguments(program, inputPath));
    } else {
        process.setProgram(program);
        process.setArguments({QStringLiteral("-q"), QStringLiteral("-i"), inputPath});
    }
#endif
    if (hasFolder)
        process.setWorkingDirectory(QFileInfo(ExtractFilePath(program)).absoluteFilePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return true;
}

} // namespace

int ConversionInProgress() {
    return g_conversionWaits;
}

bool RunConverter(const QString &converterPath, const QString &inputPath) {
    if (converterPath.isEmpty() || QCoreApplication::closingDown())
        return false;
    if (!QCoreApplication::instance()) {
        // No application, no events to keep running (and no event loop): a plain wait.
        QProcess process;
        if (!Configure(process, converterPath, inputPath))
            return false;
        process.start(QIODevice::NotOpen);
        if (!process.waitForStarted(-1))
            return false;
        process.waitForFinished(-1);
        return true;
    }
    // Not owned by a scope: if the wait is cut short, the object must outlive it.
    auto *process = new QProcess;
    if (!Configure(*process, converterPath, inputPath)) {
        delete process;
        return false;
    }

    QEventLoop loop;
    QObject::connect(process, &QProcess::stateChanged, &loop, [&loop](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            loop.quit();
    });
    bool started = false;
    QObject::connect(process, &QProcess::started, &loop, [&started] { started = true; });

    process->start(QIODevice::NotOpen);
    if (process->state() != QProcess::NotRunning) {
        const ConversionWaitGuard guard;
        EventPump::exec(loop);
    }
    if (process->state() == QProcess::NotRunning) {
        delete process;
        return started;
    }
    // A quit request ended the wait: leave the converter running and free the
    // object once it ends, in case the application lives on until then.
    QObject::disconnect(process, nullptr, &loop, nullptr);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError) {
        if (process->state() == QProcess::NotRunning)
            process->deleteLater();
    });
    return true;
}
