// Making sure a converter exists, with the dialogs scripted.

#include "converter/ensure_converter.h"

#include "support/scripted_dialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class EnsureConverterTest : public QObject {
    Q_OBJECT

private:
    QString MakeFile(const QString &name, const QByteArray &content) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(content);
        return path;
    }

    QTemporaryDir m_dir;
    const QString m_exeDir = QStringLiteral("/opt/kestrel/");

private Q_SLOTS:
    void usableConverterAsksNothing() {
        QString path = MakeFile(QStringLiteral("grindle"), "#!");
        const QString before = path;
        ScriptedDialogs dialogs;
        QVERIFY(EnsureConverter(path, m_exeDir, dialogs));
        QCOMPARE(path, before);
        QVERIFY(dialogs.calls.isEmpty());
    }

    void missingConverterIsAskedFor() {
        const QString chosen = MakeFile(QStringLiteral("chosen grindle \u00E9"), "exe");
        for (QString path : {QString(), m_dir.filePath(QStringLiteral("gone")),
                             MakeFile(QStringLiteral("zero bytes"), QByteArray())}) {
            ScriptedDialogs dialogs;
            dialogs.files.enqueue({chosen});
            QVERIFY(EnsureConverter(path, m_exeDir, dialogs));
            QCOMPARE(path, chosen);
            QCOMPARE(dialogs.texts(QStringLiteral("openfile")),
                     QStringList{QStringLiteral("Open Grindle.exe")});
            QCOMPARE(dialogs.fileSpecs.size(), 1);
            QVERIFY(dialogs.fileSpecs[0].filter.startsWith(QStringLiteral("EXE file|*.exe")));
            QCOMPARE(dialogs.fileSpecs[0].directory, m_exeDir);
            QVERIFY(dialogs.texts(QStringLiteral("error")).isEmpty());
        }
    }

    void cancelledDialogKeepsThePathAndEndsTheProgram() {
        QString path = m_dir.filePath(QStringLiteral("gone"));
        const QString before = path;
        ScriptedDialogs dialogs; // no answer queued: the dialog is cancelled
        QVERIFY(!EnsureConverter(path, m_exeDir, dialogs));
        QCOMPARE(path, before);
        QCOMPARE(dialogs.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("\"grindle.exe\" not found!")});
    }

    void choosingAnEmptyFileIsNoConverter() {
        QString path;
        const QString empty = MakeFile(QStringLiteral("empty.exe"), QByteArray());
        ScriptedDialogs dialogs;
        dialogs.files.enqueue({empty});
        QVERIFY(!EnsureConverter(path, m_exeDir, dialogs));
        QCOMPARE(path, empty);
        QCOMPARE(dialogs.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("\"grindle.exe\" not found!")});
        // The error comes after the dialog.
        QCOMPARE(dialogs.calls.size(), 2);
        QCOMPARE(dialogs.calls[0].kind, QStringLiteral("openfile"));
    }

    void dialogFilterOffersProgramsWithoutExtension() {
        const FileDialogSpec request = ConverterDialogSpec(m_exeDir);
        QCOMPARE(request.title, QStringLiteral("Open Grindle.exe"));
#ifdef Q_OS_WIN
        QCOMPARE(request.filter, QStringLiteral("EXE file|*.exe"));
#else
        QCOMPARE(request.filter, QStringLiteral("EXE file|*.exe|Program|*"));
        QCOMPARE(QtFileFilter(request.filter), QStringLiteral("EXE file (*.exe);;Program (*)"));
#endif
    }
};

QTEST_MAIN(EnsureConverterTest)
#include "ensure_converter_test.moc"
