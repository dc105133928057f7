#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTest>

QByteArray SampleText(const QByteArray &lineBreak) {
    const QList<QByteArray> lines = {"unit",
                                     "{",
                                     "| alpha: {",
                                     "| | speed: 2.5;",
                                     "| | label: \"Main gate\";",
                                     "| | empty: \"\";",
                                     "| | inner: {",
                                     "| | | deep: 1;",
                                     "| | }",
                                     "| }",
                                     "| beta: 7;",
                                     "| gamma: {",
                                     "| }",
                                     "}"};
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + lineBreak;
    return text;
}

DocumentFixture::DocumentFixture() {
    m_folder = fixture.dataDir() + QString::fromUtf8("My Data \xc3\x84rger \xc3\xbc/");
    QDir().mkpath(m_folder);
    m_log = fixture.dataDir() + QStringLiteral("converter.log");
    qputenv("DOC_CONVERTER_LOG", QFile::encodeName(m_log));
    qunsetenv("DOC_CONVERTER_MODE");
    window().ConverterPath = QStringLiteral(KESTREL_DOCUMENT_CONVERTER);
    window().show();
    window().activateWindow();
    if (!QTest::qWaitForWindowActive(&window()))
        qWarning("the window did not become active");
}

DocumentFixture::~DocumentFixture() {
    qunsetenv("DOC_CONVERTER_LOG");
    qunsetenv("DOC_CONVERTER_MODE");
}

DocumentController &DocumentFixture::documents() {
    return window().documents();
}

TreeSync &DocumentFixture::treeSync() {
    return window().treeSync();
}

QString DocumentFixture::write(const QString &name, const QByteArray &bytes) const {
    const QString path = m_folder + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QString DocumentFixture::writeRbf(const QString &baseName, const QByteArray &text) const {
    return write(baseName + QStringLiteral(".rbf"), text);
}

void DocumentFixture::setMode(const QString &inputPath, const QByteArray &mode) {
    QFile file(inputPath + QStringLiteral(".mode"));
    if (file.open(QIODevice::WriteOnly))
        file.write(mode);
}

QString DocumentFixture::textPathOf(const QString &rbfPath) {
    return rbfPath.left(rbfPath.size() - 4) + QStringLiteral(".txt");
}

QByteArray DocumentFixture::read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList DocumentFixture::allConverterRuns() const {
    QStringList runs;
    for (const QByteArray &line : read(m_log).split('\n')) {
        if (!line.isEmpty())
            runs << QFile::decodeName(line);
    }
    return runs;
}

QStringList DocumentFixture::converterRuns() const {
    QStringList runs;
    for (const QString &run : allConverterRuns()) {
        if (run.startsWith(m_folder))
            runs << run;
    }
    return runs;
}

QStringList DocumentFixture::checkRuns() const {
    QStringList runs;
    for (const QString &run : allConverterRuns()) {
        if (!run.startsWith(m_folder))
            runs << run;
    }
    return runs;
}

void DocumentFixture::open(const QStringList &paths) {
    documents().TBOpenClick(paths);
}

int DocumentFixture::pageCount() {
    return window().PC->count();
}

Page *DocumentFixture::page(int index) {
    return qobject_cast<Page *>(window().PC->widget(index));
}

PageEditor *DocumentFixture::editor(int index) {
    Page *p = page(index);
    return p ? p->editor() : nullptr;
}

PageTree *DocumentFixture::tree(int index) {
    Page *p = page(index);
    return p ? p->tree() : nullptr;
}
