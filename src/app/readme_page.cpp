#include "app/readme_page.h"

#include "converter/file_size.h"
#include "platform/regular_file.h"
#include "readme_checksum.h"
#include "ui/event_hook.h"
#include "ui/rtf_reader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>

// The resource lives in a static library: its registration must be referenced to be linked in.
static void InitReadmeResource() {
    Q_INIT_RESOURCE(readme);
}

QByteArray EmbeddedReadme() {
    InitReadmeResource();
    QFile resource(QStringLiteral(":/README"));
    if (!resource.open(QIODevice::ReadOnly))
        return QByteArray();
    return resource.readAll();
}

QByteArray EmbeddedReadmeChecksum() {
    return QByteArrayLiteral(KESTREL_README_SHA256);
}

bool ReadmeIntact(const QByteArray &document, const QByteArray &expectedSha256Hex) {
    const QByteArray actual = QCryptographicHash::hash(document, QCryptographicHash::Sha256).toHex();
    return !expectedSha256Hex.isEmpty() && actual == expectedSha256Hex.toLower();
}

bool WriteReadmeFile(const QString &path, const QByteArray &document) {
    if (GetFileSizeOrZero(path) > 0)
        return false;
    // A FIFO or a device in its place is left alone: opening it to write could block for ever.
    if (QFileInfo::exists(path) && !IsRegularFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(document) == document.size() && file.flush();
}

QString ReadmePage::damagedNotice() {
    return QStringLiteral("The user guide built into this program is damaged and cannot be shown.");
}

ReadmePage::ReadmePage(QTabWidget *pages, QTextEdit *view) : QObject(view), m_pages(pages), m_view(view) {
    OnResize(pages, [this] { place(); });
}

void ReadmePage::place() {
    if (m_view->parentWidget() == m_pages)
        m_view->setGeometry(kMargin, kMargin, m_pages->width() - 2 * kMargin,
                            m_pages->height() - 2 * kMargin);
}

void ReadmePage::ShowReadme(const QString &exeDir) {
    ShowReadme(exeDir, EmbeddedReadme(), EmbeddedReadmeChecksum());
}

void ReadmePage::ShowReadme(const QString &exeDir, const QByteArray &document,
                            const QByteArray &expectedSha256Hex) {
    const bool intact = ReadmeIntact(document, expectedSha256Hex);
    // An altered document is neither written nor shown.
    if (intact)
        WriteReadmeFile(exeDir + QStringLiteral("Readme.rtf"), document);
    if (m_view->parentWidget() != m_pages)
        m_view->setParent(m_pages);
    place();
    if (intact)
        ReadRtf(document, m_view->document());
    else
        m_view->setPlainText(damagedNotice());
    // Reading moved the view's cursor along with the text it inserted: back to the top.
    m_view->moveCursor(QTextCursor::Start);
    m_view->verticalScrollBar()->setValue(0);
    m_view->horizontalScrollBar()->setValue(0);
    m_view->raise();
    m_view->show();
}
