#include "editor/page_editor.h"

#include "editor/text_search.h"
#include "platform/cp1252.h"

#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSaveFile>

PageEditor::PageEditor(QWidget *parent) : QsciScintilla(parent) {
    setUtf8(true);
    setWrapMode(QsciScintilla::WrapNone);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setFolding(QsciScintilla::NoFoldStyle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Long lines must not cost a layout of the whole line on every paint.
    send(SCI_SETSCROLLWIDTHTRACKING, 1);
    send(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    // Character positions of the 8-bit text map to buffer offsets through this index.
    send(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
    // The font comes from the parent (the page control holds the editor font), so that later
    // font changes reach every editor; QsciScintilla sets its own font, which stops that.
    QWidget::setFont(QFont());
    setAttribute(Qt::WA_SetFont, false);
    applyFont();
    connect(this, &QsciScintilla::textChanged, this, [this] {
        ++m_changeCount;
        Q_EMIT edited();
    });
    // Scintilla reports selection updates from inside its paint event; handlers of selectionMoved
    // let events run, and a paint started inside a paint breaks the painter. So the check runs
    // after the notification, and at once after the keys and mouse events that move the caret.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        QMetaObject::invokeMethod(this, &PageEditor::checkSelection, Qt::QueuedConnection);
    });
}

bool PageEditor::loadFile(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    setBytes8(bytes);
    return true;
}

bool PageEditor::saveFile(const QString &path, QString *error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes8()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray PageEditor::bytes8() const {
    return EncodeCp1252(text8());
}

QString PageEditor::text8() const {
    const long length = send(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(data, static_cast<qsizetype>(length));
}

QString PageEditor::range8(long start, long end) const {
    if (end <= start)
        return QString();
    // Copied out of the buffer: unlike a range pointer this never moves the gap, and it passes
    // the pointer as a pointer (a long is 32 bits on 64-bit Windows).
    QByteArray buffer(static_cast<qsizetype>(end - start) + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXTRANGE, start, end, buffer.data());
    return QString::fromUtf8(buffer.constData(), static_cast<qsizetype>(end - start));
}

void PageEditor::setBytes8(const QByteArray &bytes, bool undoable) {
    setText8(DecodeCp1252(bytes), undoable);
}

void PageEditor::setText8(const QString &text, bool undoable) {
    const QByteArray utf8 = text.toUtf8();
    // New lines typed by the user take the break style the text already has.
    const int lf = static_cast<int>(utf8.indexOf('\n'));
    if (lf >= 0)
        send(SCI_SETEOLMODE, (lf > 0 && utf8.at(lf - 1) == '\r') ? SC_EOL_CRLF : SC_EOL_LF);
    if (!undoable)
        send(SCI_SETUNDOCOLLECTION, 0);
    else
        send(SCI_BEGINUNDOACTION);
    // Cleared and appended with an explicit length: NUL characters are part of the text.
    send(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.constData());
    if (!undoable) {
        send(SCI_SETUNDOCOLLECTION, 1);
        send(SCI_EMPTYUNDOBUFFER);
    } else {
        send(SCI_ENDUNDOACTION);
    }
}

int PageEditor::LineCount() const {
    const int lines = static_cast<int>(send(SCI_GETLINECOUNT));
    const long lastStart = send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(lines - 1));
    return lastStart == send(SCI_GETLENGTH) ? lines - 1 : lines;
}

QString PageEditor::Line(int index) const {
    if (index < 0 || index >= LineCount())
        return QString();
    const long start = send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(index));
    const long end = send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(index));
    return range8(start, end);
}

long PageEditor::bytePosition(int position) const {
    const long line =
        send(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(position), SC_LINECHARACTERINDEX_UTF32);
    const long lineChar =
        send(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), SC_LINECHARACTERINDEX_UTF32);
    const long lineByte = send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return send(SCI_POSITIONRELATIVE, static_cast<unsigned long>(lineByte), position - lineChar);
}

int PageEditor::charPosition(long bytePos) const {
    const long line = send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePos));
    const long lineChar =
        send(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), SC_LINECHARACTERINDEX_UTF32);
    const long lineByte = send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return static_cast<int>(lineChar +
                            send(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineByte), bytePos));
}

int PageEditor::caretLine() const {
    return static_cast<int>(
        send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(send(SCI_GETSELECTIONEND))));
}

int PageEditor::caretColumn() const {
    const long end = send(SCI_GETSELECTIONEND);
    const long lineByte =
        send(SCI_POSITIONFROMLINE,
             static_cast<unsigned long>(send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(end))));
    return static_cast<int>(send(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineByte), end));
}

void PageEditor::setCaret(int column, int line) {
    const int lastLine = static_cast<int>(send(SCI_GETLINECOUNT)) - 1;
    const long lineChar =
        send(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(qBound(0, line, lastLine)),
             SC_LINECHARACTERINDEX_UTF32);
    setSelectionStart(static_cast<int>(lineChar) + column);
}

int PageEditor::selectionStart() const {
    return charPosition(send(SCI_GETSELECTIONSTART));
}

int PageEditor::selectionLength() const {
    const long start = send(SCI_GETSELECTIONSTART);
    const long end = send(SCI_GETSELECTIONEND);
    return static_cast<int>(send(SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), end));
}

void PageEditor::setSelectionStart(int position) {
    const long pos = bytePosition(qBound(0, position, textLength()));
    // Anchor and caret set directly: unlike SCI_SETSEL this does not scroll.
    send(SCI_SETCURRENTPOS, static_cast<unsigned long>(pos));
    send(SCI_SETANCHOR, static_cast<unsigned long>(pos));
    checkSelection();
}

void PageEditor::setSelectionLength(int length) {
    const long start = send(SCI_GETSELECTIONSTART);
    const long end = send(SCI_POSITIONRELATIVE, static_cast<unsigned long>(start), qMax(length, 0));
    send(SCI_SETSEL, static_cast<unsigned long>(start), end < start ? send(SCI_GETLENGTH) : end);
    checkSelection();
}

QString PageEditor::selectedText8() const {
    return range8(send(SCI_GETSELECTIONSTART), send(SCI_GETSELECTIONEND));
}

void PageEditor::replaceSelection(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    // Through the target, so that NUL characters in the text survive.
    send(SCI_TARGETFROMSELECTION);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()), utf8.constData());
    const long end = send(SCI_GETTARGETEND);
    send(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(end));
    checkSelection();
}

int PageEditor::textLength() const {
    return charPosition(send(SCI_GETLENGTH));
}

int PageEditor::positionFromLine(int line) const {
    return static_cast<int>(
        send(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), SC_LINECHARACTERINDEX_UTF32));
}

int PageEditor::lineFromPosition(int position) const {
    return static_cast<int>(
        send(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(position), SC_LINECHARACTERINDEX_UTF32));
}

void PageEditor::lineScroll(int lines) {
    send(SCI_LINESCROLL, 0, lines);
}

void PageEditor::scrollCaret() {
    send(SCI_SCROLLCARET);
}

bool PageEditor::isModified() const {
    return m_forcedModified || send(SCI_GETMODIFY) != 0;
}

void PageEditor::setModified(bool modified) {
    // Scintilla can only clear its flag (a save point); a set flag is kept here.
    m_forcedModified = modified && send(SCI_GETMODIFY) == 0;
    if (!modified)
        send(SCI_SETSAVEPOINT);
}

int PageEditor::findText8(const QString &text, int from, bool matchCase, bool wholeWord) const {
    if (from < 0 || from > textLength())
        return -1;
    const long length = send(SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(send(SCI_GETCHARACTERPOINTER));
    const TextSearch::Match match =
        TextSearch(text, matchCase, wholeWord).find(data, length, bytePosition(from));
    return match.found() ? charPosition(static_cast<long>(match.start)) : -1;
}

int PageEditor::replaceAll8(const QString &text, const QString &replacement, bool matchCase) {
    const long length = send(SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(send(SCI_GETCHARACTERPOINTER));
    qsizetype count = 0;
    const QByteArray result =
        TextSearch(text, matchCase, false).replaceAll(data, length, replacement, &count);
    setText8(QString::fromUtf8(result), true);
    return static_cast<int>(count);
}

void PageEditor::checkSelection() {
    const long anchor = send(SCI_GETANCHOR);
    const long caret = send(SCI_GETCURRENTPOS);
    if (anchor == m_reportedAnchor && caret == m_reportedCaret)
        return;
    m_reportedAnchor = anchor;
    m_reportedCaret = caret;
    Q_EMIT selectionMoved();
}

void PageEditor::changeEvent(QEvent *event) {
    QsciScintilla::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFont();
}

// The widget's font (inherited) becomes the font of the text. Set through Scintilla's own
// messages: QsciScintilla::setFont would make the font the widget's own and stop inheriting.
void PageEditor::applyFont() {
    const QFont f = font();
    const QByteArray family = f.family().toUtf8();
    SendScintilla(SCI_STYLESETFONT, static_cast<uintptr_t>(STYLE_DEFAULT), family.constData());
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : 10.0;
    send(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, static_cast<long>(points * SC_FONT_SIZE_MULTIPLIER));
    send(SCI_STYLESETWEIGHT, STYLE_DEFAULT, f.bold() ? SC_WEIGHT_BOLD : SC_WEIGHT_NORMAL);
    send(SCI_STYLESETITALIC, STYLE_DEFAULT, f.italic() ? 1 : 0);
    send(SCI_STYLESETUNDERLINE, STYLE_DEFAULT, f.underline() ? 1 : 0);
    send(SCI_STYLECLEARALL);
}

void PageEditor::keyPressEvent(QKeyEvent *event) {
    QsciScintilla::keyPressEvent(event);
    checkSelection();
}

void PageEditor::mousePressEvent(QMouseEvent *event) {
    QsciScintilla::mousePressEvent(event);
    checkSelection();
}

void PageEditor::mouseMoveEvent(QMouseEvent *event) {
    QsciScintilla::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton)
        checkSelection();
}

void PageEditor::mouseReleaseEvent(QMouseEvent *event) {
    QsciScintilla::mouseReleaseEvent(event);
    checkSelection();
}
