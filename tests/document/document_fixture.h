#pragma once
// A shown, active main window whose converter is the document converter of the
// tests, with a data folder whose name has blanks and non-ASCII letters.

#include "support/window_fixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class DocumentController;
class Page;
class PageEditor;
class PageTree;
class TreeSync;

// A small converted text: lines 0 "unit" and 1 "{" carry no node; nodes in index order are
// alpha (line 2), speed (3), label (4), empty (5), inner (6), deep (7), beta (10), gamma (11).
QByteArray SampleText(const QByteArray &lineBreak = "\r\n");

class DocumentFixture {
public:
    DocumentFixture();
    ~DocumentFixture();

    WindowFixture fixture;
    TFormMain &window() { return fixture.window(); }
    ScriptedDialogs &dialogs() { return fixture.dialogs; }
    DocumentController &documents();
    TreeSync &treeSync();

    // The folder of the test's RBF files: "My Data Ärger ü" inside the fixture's data folder.
    QString folder() const { return m_folder; }
    // Writes name (e.g. "unit.rbf") into folder() and returns its full path.
    QString write(const QString &name, const QByteArray &bytes) const;
    QString writeRbf(const QString &baseName, const QByteArray &text = SampleText()) const;
    // What the document converter does for this input file (see document_converter.cpp).
    static void setMode(const QString &inputPath, const QByteArray &mode);
    static QString textPathOf(const QString &rbfPath);
    static QByteArray read(const QString &path);
    // The input paths the converter was started with on the test's files, in order.
    QStringList converterRuns() const;
    // The runs over private copies that check a save (outside the test's folder).
    QStringList checkRuns() const;
    QStringList allConverterRuns() const;

    // Opens through the document controller's explicit-path entry.
    void open(const QStringList &paths);
    void open(const QString &path) { open(QStringList{path}); }
    int pageCount();
    Page *page(int index);
    PageEditor *editor(int index);
    PageTree *tree(int index);

private:
    QString m_folder;
    QString m_log;
};
