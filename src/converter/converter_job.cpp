#include "converter/converter_job.h"

#include "converter/converter_log.h"

#include <QProcess>

ConverterJob::ConverterJob(const QString &converterPath, const QString &inputPath, int timeLimitMs,
                           QObject *parent)
    : QObject(parent), m_converterPath(converterPath), m_inputPath(inputPath) {
    m_limit.setSingleShot(true);
    m_limit.setInterval(timeLimitMs);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_timedOut = true;
            m_process->kill();
        }
    });
}

ConverterJob::~ConverterJob() {
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
}

void ConverterJob::start() {
    m_clock.start();
    m_process = new QProcess(this);
    if (!PrepareConverterProcess(*m_process, m_run, m_converterPath, m_inputPath)) {
        QMetaObject::invokeMethod(
            this, [this] { end(); }, Qt::QueuedConnection);
        return;
    }
    connect(m_process, &QProcess::readyReadStandardOutput, this,
            [this] { m_run.standardOutput.append(m_process->readAllStandardOutput()); });
    connect(m_process, &QProcess::readyReadStandardError, this,
            [this] { m_run.standardError.append(m_process->readAllStandardError()); });
    connect(m_process, &QProcess::finished, this, [this] {
        m_run.standardOutput.append(m_process->readAllStandardOutput());
        m_run.standardError.append(m_process->readAllStandardError());
        TakeConverterEnd(m_run, *m_process);
        if (m_timedOut)
            m_run.end = ConverterRun::End::Stopped;
        end();
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(); // NotStarted
    });
    m_process->start(QIODevice::ReadOnly);
    m_limit.start();
}

void ConverterJob::end() {
    if (m_ended)
        return;
    m_ended = true;
    m_limit.stop();
    m_run.runMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (!m_run.succeeded())
        LogConverterRun(m_run);
    Q_EMIT finished();
}
