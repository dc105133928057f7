// The readme page: Readme.rtf beside the executable (missing, empty, non-empty,
// unwritable), the embedded document in REReadme with its margins, and the
// integrity check of the embedded document.

#include "app/readme_page.h"
#include "window_test_helpers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <unistd.h>

namespace {

QByteArray Read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool ShowsTheGuide(const QTextEdit *view) {
    const QString text = view->toPlainText();
    return text.startsWith(QLatin1String("Kestrelbench 1.2.0")) &&
           text.contains(QLatin1String("Opening files")) && !text.contains(QLatin1String("\\rtf1")) &&
           !text.contains(QLatin1String("fonttbl"));
}

} // namespace

class TestReadme : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartWritesTheFileAndShowsTheGuide() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        const QByteArray embedded = EmbeddedReadme();
        QVERIFY(embedded.startsWith("{\\rtf1"));
        QCOMPARE(Read(fixture.exeDir() + QStringLiteral("Readme.rtf")), embedded);
        QCOMPARE(window.REReadme->parentWidget(), window.PC);
        QVERIFY(window.REReadme->isReadOnly());
        QCOMPARE(window.REReadme->lineWrapMode(), QTextEdit::NoWrap);
        QCOMPARE(window.REReadme->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(window.REReadme->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(ShowsTheGuide(window.REReadme));
        QVERIFY(fixture.dialogs.calls.isEmpty());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.REReadme->isVisible());
        QCOMPARE(window.REReadme->verticalScrollBar()->value(), 0); // from the top
        // 16 pixels inside every edge of the page control, also after the window changes size.
        for (const QSize size : {QSize(900, 600), QSize(1100, 700), QSize(700, 450)}) {
            window.resize(size);
            QCoreApplication::processEvents();
            QCOMPARE(window.REReadme->geometry(), window.PC->rect().adjusted(16, 16, -16, -16));
        }
    }

    void emptyFileIsReplacedNonEmptyNeverOverwritten() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        const QString path = fixture.exeDir() + QStringLiteral("Readme.rtf");
        Write(path, QByteArray());
        window.readme().ShowReadme(window.ExeDir);
        QCOMPARE(Read(path), EmbeddedReadme());
        Write(path, "{\\rtf1 my own notes}");
        window.readme().ShowReadme(window.ExeDir);
        QCOMPARE(Read(path), QByteArray("{\\rtf1 my own notes}"));
        // The view shows the embedded document, never the file.
        QVERIFY(ShowsTheGuide(window.REReadme));
        QVERIFY(!window.REReadme->toPlainText().contains(QLatin1String("my own notes")));
    }

    void unwritableFolderIsIgnoredSilently() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        // A file where the folder should be: nothing can be written below it, even by root.
        const QString notAFolder = fixture.writeFile(QStringLiteral("exe"), "x");
        window.readme().ShowReadme(notAFolder + QLatin1Char('/'));
        QVERIFY(!QFile::exists(notAFolder + QStringLiteral("/Readme.rtf")));
        QVERIFY(ShowsTheGuide(window.REReadme));
        QVERIFY(fixture.dialogs.calls.isEmpty());
        QVERIFY(!WriteReadmeFile(notAFolder + QStringLiteral("/Readme.rtf"), EmbeddedReadme()));
    }

    void readOnlyFolder() {
        if (::geteuid() == 0)
            QSKIP("running as root, who can write into a read-only folder");
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        const QString folder = fixture.dataDir() + QStringLiteral("locked/");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        window.readme().ShowReadme(folder);
        QVERIFY(!QFile::exists(folder + QStringLiteral("Readme.rtf")));
        QVERIFY(ShowsTheGuide(window.REReadme));
        QVERIFY(fixture.dialogs.calls.isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void checksumIsTheBuiltInFiles() {
        QFile source(QStringLiteral(KESTREL_SOURCE_DIR "/resources/readme.rtf"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        QCOMPARE(EmbeddedReadme(), bytes);
        QCOMPARE(EmbeddedReadmeChecksum(),
                 QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        QVERIFY(ReadmeIntact(bytes, EmbeddedReadmeChecksum()));
        QVERIFY(ReadmeIntact(bytes, EmbeddedReadmeChecksum().toUpper()));
        QByteArray altered = bytes;
        altered[altered.size() / 2] = altered.at(altered.size() / 2) ^ 0x01;
        QVERIFY(!ReadmeIntact(altered, EmbeddedReadmeChecksum()));
        QVERIFY(!ReadmeIntact(bytes.left(bytes.size() - 1), EmbeddedReadmeChecksum()));
        QVERIFY(!ReadmeIntact(bytes, QByteArray()));
    }

    void alteredDocumentIsNeitherWrittenNorShown() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        const QString folder = fixture.dataDir();
        QByteArray altered = EmbeddedReadme();
        altered.replace("Kestrelbench 1.2.0", "Kestrelbench 6.6.6");
        window.readme().ShowReadme(folder, altered, EmbeddedReadmeChecksum());
        QVERIFY(!QFile::exists(folder + QStringLiteral("Readme.rtf")));
        QCOMPARE(window.REReadme->toPlainText(), ReadmePage::damagedNotice());
        QCOMPARE(window.REReadme->parentWidget(), window.PC);
        QVERIFY(fixture.dialogs.calls.isEmpty());
        // The intact one again.
        window.readme().ShowReadme(folder);
        QCOMPARE(Read(folder + QStringLiteral("Readme.rtf")), EmbeddedReadme());
        QVERIFY(ShowsTheGuide(window.REReadme));
    }
};

QTEST_MAIN(TestReadme)
#include "test_readme.moc"
