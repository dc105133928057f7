#pragma once
// The readme: a short user guide embedded in the program, shown in the page area
// while no page is open and written beside the executable when it is missing.

#include <QByteArray>
#include <QObject>
#include <QString>

class QTabWidget;
class QTextEdit;

// The embedded document (the resource "README").
QByteArray EmbeddedReadme();
// The SHA-256 of the document, in hex, computed by the build from the file it embeds.
QByteArray EmbeddedReadmeChecksum();
// True when document has the expected SHA-256 (hex, either case).
bool ReadmeIntact(const QByteArray &document, const QByteArray &expectedSha256Hex);
// Writes document to path when that file is missing or empty, never over a non-empty one.
// True when written; a failure to write is no error for the caller.
bool WriteReadmeFile(const QString &path, const QByteArray &document);

class ReadmePage : public QObject {
    Q_OBJECT
public:
    static constexpr int kMargin = 16;
    // Shown instead of the document when the embedded document is not the one that was built in.
    static QString damagedNotice();

    // Keeps view kMargin pixels inside every edge of pages whenever pages is resized.
    ReadmePage(QTabWidget *pages, QTextEdit *view);

    // Writes Readme.rtf into exeDir when missing or empty, moves the view into the page
    // control and shows the embedded document in it.
    void ShowReadme(const QString &exeDir);
    // The same for a given document and expected checksum.
    void ShowReadme(const QString &exeDir, const QByteArray &document, const QByteArray &expectedSha256Hex);

private:
    void place();

    QTabWidget *m_pages;
    QTextEdit *m_view;
};
