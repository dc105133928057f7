// Backups of RBF files before a save, and the command that brings one back.

#include "converter/run_converter.h"
#include "document/busy_state.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "platform/file_names.h"
#include "recovery/recovery_controller.h"
#include "ui/dialogs.h"
#include "ui/feedback.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

QString RecoveryController::backUp(Page *page) {
    QString error;
    if (m_backups.backUp(page->RbfPath, Backups, QDateTime::currentDateTimeUtc(), &error))
        return QString();
    const QString problem = QStringLiteral("no backup of %1 was made: %2").arg(page->RbfPath, error);
    m_feedback.SetStatusText(QStringLiteral("Saving %1; %2").arg(page->RbfPath, problem));
    return problem;
}

void RecoveryController::RestoreBackup(int pageIndex) {
    const QPointer<Page> page = m_documents.page(pageIndex);
    if (!page)
        return;
    if (page->isBusy()) {
        m_feedback.SetStatusText(BusyMessage(page->RbfPath));
        return;
    }
    const QString rbfPath = page->RbfPath;
    const QList<BackupEntry> entries = m_backups.entries(rbfPath);
    if (entries.isEmpty()) {
        m_dialogs.ShowInfo(QStringLiteral("There is no backup of %1").arg(rbfPath));
        return;
    }
    QStringList items;
    for (const BackupEntry &entry : entries)
        items << QStringLiteral("%1    %2 bytes")
                     .arg(entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                     .arg(entry.size);
    int chosen = 0;
    if (!m_dialogs.ChooseItem(QStringLiteral("Restore backup"), QStringLiteral("Backups of %1:").arg(rbfPath),
                              items, chosen) ||
        !page)
        return;
    QByteArray text;
    {
        const BusyGuard guard(m_busy, page);
        // Converted as a copy in a private folder, under the file's own name (the converter writes
        // the name into the text): the backup itself is never touched.
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrelbench-backup-XXXXXX"));
        const QString copy = dir.filePath(ExtractFileName(rbfPath));
        if (!dir.isValid() || !QFile::copy(entries.at(chosen).file, copy)) {
            m_dialogs.ShowError(
                QStringLiteral("%1 could not be copied to convert it").arg(entries.at(chosen).file));
            return;
        }
        m_feedback.SetStatusText(QStringLiteral("Converting %1").arg(entries.at(chosen).file));
        const ConverterRun run = RunConverterProcess(m_converterPath, copy);
        QFile converted(ChangeFileExt(copy, QStringLiteral(".txt")));
        if (run.succeeded() && converted.open(QIODevice::ReadOnly))
            text = converted.readAll();
        if (text.isEmpty()) {
            const QString message = QStringLiteral("Unable to restore the backup %1\n%2")
                                        .arg(entries.at(chosen).file, run.endText());
            if (run.details().isEmpty())
                m_dialogs.ShowError(message.trimmed());
            else
                m_dialogs.ShowErrorDetails(message.trimmed(), run.details());
            m_feedback.SetStatusText(QString());
            return;
        }
    }
    if (!page)
        return;
    m_documents.SetPageText(page, text);
    m_feedback.SetStatusText(QStringLiteral("%1: the backup of %2 is in the page; save to keep it")
                                 .arg(rbfPath, items.at(chosen).section(QLatin1Char(' '), 0, 1)));
}
