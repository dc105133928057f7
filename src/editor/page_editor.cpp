#include "editor/page_editor.h"

#include "editor/editor_accessible.h"
#include "editor/text_search.h"
#include "platform/cp1252.h"
#include "ui/event_pump.h"
#include "ui/opaque_scroll_bars.h"
#include "ui/paints_held.h"

#include <QColor>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSaveFile>
#include <QScopedValueRollback>

#include <cstring>

PageEditor::PageEditor(QWidget *parent) : QsciScintilla(parent) {
    InstallEditorAccessibleFactory();
    setUtf8(true);
    setWrapMode(QsciScintilla::WrapNone);
    setMarginWidth(0, 0);
    setMarginWidth(1, 0);
    setFolding(QsciScintilla::NoFoldStyle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PaintScrollBarsAlone(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Long lines must not cost a layout of the whole line on every paint.
    send(SCI_SETSCROLLWIDTHTRACKING, 1);
    send(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    // No blank strip between the margins and the text: Scintilla widens the area it repaints for
    // a caret move by one pixel into such a strip, and with it repaints every margin of both lines
    // (a tenth of a caret move). The caret at a line's start is still drawn on the text's side.
    send(SCI_SETMARGINLEFT, 0, 0);
    // Character positions of the 8-bit text map to buffer offsets through this index.
    send(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
    // QScintilla answers every insertion and deletion the widget is notified of with an
    // accessibility event that counts the characters from the start of the text up to the change,
    // whether or not assistive technology runs: a keystroke near the end of a million-line text
    // took 0.1 s. So the widget notifies only that a change is about to be made, which QScintilla
    // passes on as it is; edited() is raised once the change is made (see reportChange).
    send(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char *, int, int, int, int, int, int, int) {
                if (type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE))
                    noteChange();
            });
    // The font comes from the parent (the page control holds the editor font), so that later
    // font changes reach every editor; QsciScintilla sets its own font, which stops that.
    QWidget::setFont(QFont());
    setAttribute(Qt::WA_SetFont, false);
    applyFont();
    // Scintilla reports selection updates from inside its paint event; handlers of selectionMoved
    // let events run, and a paint started inside a paint breaks the painter. So the check runs
    // after the notification, and at once after the keys and mouse events that move the caret.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        QMetaObject::invokeMethod(this, &PageEditor::checkSelection, Qt::QueuedConnection);
    });
}

bool PageEditor::loadFile(const QString &path, QString *error, const LoadObserver &observer) {
    QFile file(path);
    const auto failed = [&file, error] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return failed();
    // Events run between the pieces below: nothing may edit the text meanwhile, neither the user
    // (read-only) nor the widget's editing slots (which ignore read-only; see m_loading).
    const QScopedValueRollback<bool> loading(m_loading, true);
    EventPump pump;
    const auto pumpReadOnly = [this, &pump] {
        send(SCI_SETREADONLY, 1);
        pump.maybePump();
        send(SCI_SETREADONLY, 0);
    };
    const qint64 size = qMax<qint64>(0, file.size());
    // A text that is there already stays when the read fails, so the file is read whole first.
    // An empty editor takes the pieces as they are read: the file is never held whole beside the
    // widget's copy of it.
    QByteArray whole;
    const bool streaming = send(SCI_GETLENGTH) == 0;
    if (!streaming) {
        whole.reserve(size);
        while (!file.atEnd()) {
            const QByteArray piece = file.read(LoadPieceBytes);
            if (file.error() != QFileDevice::NoError)
                return failed();
            if (piece.isEmpty())
                break;
            whole.append(piece);
            pumpReadOnly();
        }
        if (file.error() != QFileDevice::NoError)
            return failed();
        file.close();
    }

    // Then into the widget a piece at a time; the widget's buffer gets its size at once. It is
    // painted when the whole text is in, not after each piece.
    const PaintsHeld held(this);
    send(SCI_SETUNDOCOLLECTION, 0);
    send(SCI_CLEARALL);
    const qint64 expected = streaming ? size : whole.size();
    // The widget holds the text and a style byte per character, both of this size: room for a few
    // code-page letters that grow in UTF-8, not for many (a text full of them grows its buffers
    // once more, as any insertion does).
    send(SCI_ALLOCATE, static_cast<unsigned long>(expected + expected / 256 + 4096));
    QByteArray bytes;   // the bytes read and not yet given to the widget (streaming)
    qsizetype done = 0; // of whole
    qint64 given = 0;   // file bytes given to the widget
    bool styleTaken = false;
    QByteArray utf8;
    for (;;) {
        const char *data = nullptr;
        qsizetype length = 0;
        bool last = false;
        if (streaming) {
            const QByteArray read = file.read(LoadPieceBytes);
            if (file.error() != QFileDevice::NoError) {
                send(SCI_CLEARALL);
                send(SCI_SETUNDOCOLLECTION, 1);
                return failed();
            }
            bytes.append(read);
            last = read.isEmpty() || file.atEnd();
            data = bytes.constData();
            length = bytes.size();
        } else {
            data = whole.constData() + done;
            length = qMin<qsizetype>(LoadPieceBytes, whole.size() - done);
            last = done + length >= whole.size();
        }
        // Pieces end after a line feed, or at least not between a CR and its LF, so that no CR LF
        // is split between two of them. Looked for inside the piece only: a text without LF is not
        // searched back to its start.
        qsizetype end = length;
        if (!last) {
            const qsizetype lf = QByteArrayView(data, length).lastIndexOf('\n');
            if (lf >= 0)
                end = lf + 1;
            else if (length > 1 && data[length - 1] == '\r')
                --end;
        }
        if (!styleTaken && end > 0 &&
            (memchr(data, '\n', static_cast<size_t>(end)) || last ||
             memchr(data, '\r', static_cast<size_t>(end)))) {
            takeLineBreakStyle(data, end);
            styleTaken = true;
        }
        utf8.clear();
        AppendCp1252AsUtf8(data, end, utf8);
        if (!utf8.isEmpty())
            SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.constData());
        given += end;
        if (streaming)
            bytes.remove(0, end);
        else
            done += end;
        if (observer && !utf8.isEmpty())
            observer(utf8, given, qMax(expected, given));
        if (last && (!streaming || bytes.isEmpty()))
            break;
        pumpReadOnly();
    }
    send(SCI_SETUNDOCOLLECTION, 1);
    send(SCI_EMPTYUNDOBUFFER);
    // One report for the whole load.
    m_loading = false;
    reportChange();
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
    const QByteArrayView utf8 = utf8View();
    QByteArray bytes;
    AppendUtf8AsCp1252(utf8.data(), utf8.size(), bytes);
    return bytes;
}

QString PageEditor::text8() const {
    const QByteArrayView utf8 = utf8View();
    return QString::fromUtf8(utf8.data(), utf8.size());
}

QByteArrayView PageEditor::utf8View() const {
    const long length = send(SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return QByteArrayView(data, static_cast<qsizetype>(length));
}

long PageEditor::lineStartByte(int line) const {
    return send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
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
    QByteArray utf8;
    AppendCp1252AsUtf8(bytes.constData(), bytes.size(), utf8);
    replaceTextUtf8(utf8, undoable);
}

void PageEditor::setText8(const QString &text, bool undoable) {
    replaceTextUtf8(text.toUtf8(), undoable);
}

void PageEditor::takeLineBreakStyle(const char *utf8, qsizetype size) {
    // New lines typed by the user take the break style the text already has.
    const auto *lf = static_cast<const char *>(memchr(utf8, '\n', static_cast<size_t>(size)));
    const qsizetype before = lf ? lf - utf8 : size;
    const auto *cr = static_cast<const char *>(memchr(utf8, '\r', static_cast<size_t>(before)));
    if (cr && cr + 1 < utf8 + before)
        send(SCI_SETEOLMODE, SC_EOL_CR); // a CR alone comes first
    else if (lf)
        send(SCI_SETEOLMODE, cr ? SC_EOL_CRLF : SC_EOL_LF);
    else if (cr)
        send(SCI_SETEOLMODE, SC_EOL_CR);
}

void PageEditor::replaceTextUtf8(const QByteArray &utf8, bool undoable) {
    takeLineBreakStyle(utf8.constData(), utf8.size());
    if (!undoable)
        send(SCI_SETUNDOCOLLECTION, 0);
    else
        send(SCI_BEGINUNDOACTION);
    // A whole new text: the character index is built once afterwards rather than kept up to date
    // line by line while the text goes in, which takes about twice as long.
    send(SCI_RELEASELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
    // Cleared and appended with an explicit length: NUL characters are part of the text.
    send(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.constData());
    send(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF32);
    if (!undoable) {
        send(SCI_SETUNDOCOLLECTION, 1);
        send(SCI_EMPTYUNDOBUFFER);
    } else {
        send(SCI_ENDUNDOACTION);
    }
    reportChange();
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

int PageEditor::charCount(QStringView text) {
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --count;
            ++i;
        }
    }
    return static_cast<int>(count);
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
    showLines(pos, pos);
    send(SCI_SETCURRENTPOS, static_cast<unsigned long>(pos));
    send(SCI_SETANCHOR, static_cast<unsigned long>(pos));
    checkSelection();
}

void PageEditor::setSelectionLength(int length) {
    const long start = send(SCI_GETSELECTIONSTART);
    const long end = send(SCI_POSITIONRELATIVE, static_cast<unsigned long>(start), qMax(length, 0));
    const long caret = end < start ? send(SCI_GETLENGTH) : end;
    showLines(start, caret);
    send(SCI_SETSEL, static_cast<unsigned long>(start), caret);
    checkSelection();
}

void PageEditor::showLines(long from, long to) {
    // What the program selects (a find, a node, a caret sync) is never left inside a fold.
    if (send(SCI_GETALLLINESVISIBLE))
        return;
    const long first = send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(from));
    const long last = send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(to));
    for (long line = first; line <= last; ++line)
        send(SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
}

QString PageEditor::selectedText8() const {
    return range8(send(SCI_GETSELECTIONSTART), send(SCI_GETSELECTIONEND));
}

void PageEditor::replaceSelection(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    // Through the target, so that NUL characters in the text survive.
    send(SCI_TARGETFROMSELECTION);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()), utf8.constData());
    reportChange();
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
    // Straight back into the widget: no string of the whole text on the way.
    replaceTextUtf8(result, true);
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
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        applyFont();
}

namespace {
long ScintillaColour(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}
} // namespace

// The widget's font and text colour (both inherited) become those of the text. Set through
// Scintilla's own messages: QsciScintilla::setFont would make the font the widget's own and stop
// inheriting.
void PageEditor::applyFont() {
    const QFont f = font();
    const QByteArray family = f.family().toUtf8();
    SendScintilla(SCI_STYLESETFONT, static_cast<uintptr_t>(STYLE_DEFAULT), family.constData());
    // Scintilla takes points and draws them at the viewport's resolution; a font given in pixels
    // (the settings file stores a pixel height) is converted at that same resolution.
    double points = f.pointSizeF();
    if (points <= 0 && f.pixelSize() > 0)
        points = f.pixelSize() * 72.0 / qMax(1, viewport()->logicalDpiY());
    if (points <= 0)
        points = 10.0;
    send(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, qRound(points * SC_FONT_SIZE_MULTIPLIER));
    send(SCI_STYLESETWEIGHT, STYLE_DEFAULT, f.bold() ? SC_WEIGHT_BOLD : SC_WEIGHT_NORMAL);
    send(SCI_STYLESETITALIC, STYLE_DEFAULT, f.italic() ? 1 : 0);
    send(SCI_STYLESETUNDERLINE, STYLE_DEFAULT, f.underline() ? 1 : 0);
    const QColor text = palette().color(QPalette::Text);
    send(SCI_STYLESETFORE, STYLE_DEFAULT, ScintillaColour(text));
    send(SCI_STYLESETBACK, STYLE_DEFAULT, ScintillaColour(palette().color(QPalette::Base)));
    send(SCI_STYLECLEARALL);
    // Scintilla styles have no strike-out: a strike indicator in the text colour covers the text.
    send(SCI_INDICSETSTYLE, StrikeIndicator, INDIC_STRIKE);
    send(SCI_INDICSETFORE, StrikeIndicator, ScintillaColour(text));
    m_strikeOut = f.strikeOut();
    updateStrikeOut();
    Q_EMIT stylesReset();
}

void PageEditor::updateStrikeOut() {
    if (!m_strikeOut && !m_struck)
        return;
    send(SCI_SETINDICATORCURRENT, StrikeIndicator);
    const long length = send(SCI_GETLENGTH);
    if (m_strikeOut)
        send(SCI_INDICATORFILLRANGE, 0, length);
    else
        send(SCI_INDICATORCLEARRANGE, 0, length);
    m_struck = m_strikeOut;
}

void PageEditor::noteChange() {
    if (m_changePending)
        return;
    m_changePending = true;
    // For edits that come by a way that reports nothing afterwards.
    QMetaObject::invokeMethod(this, &PageEditor::reportChange, Qt::QueuedConnection);
}

void PageEditor::reportChange() {
    if (!m_changePending || m_loading)
        return;
    m_changePending = false;
    ++m_changeCount;
    // New text is struck out like the rest.
    updateStrikeOut();
    Q_EMIT edited();
}

void PageEditor::append(const QString &text) {
    if (m_loading)
        return;
    QsciScintilla::append(text);
    reportChange();
}

void PageEditor::clear() {
    if (m_loading)
        return;
    QsciScintilla::clear();
    reportChange();
}

void PageEditor::cut() {
    if (m_loading)
        return;
    QsciScintilla::cut();
    reportChange();
}

void PageEditor::insert(const QString &text) {
    if (m_loading)
        return;
    QsciScintilla::insert(text);
    reportChange();
}

void PageEditor::insertAt(const QString &text, int line, int index) {
    if (m_loading)
        return;
    QsciScintilla::insertAt(text, line, index);
    reportChange();
}

void PageEditor::paste() {
    if (m_loading)
        return;
    QsciScintilla::paste();
    reportChange();
}

void PageEditor::redo() {
    if (m_loading)
        return;
    QsciScintilla::redo();
    reportChange();
}

void PageEditor::removeSelectedText() {
    if (m_loading)
        return;
    QsciScintilla::removeSelectedText();
    reportChange();
}

void PageEditor::replaceSelectedText(const QString &text) {
    if (m_loading)
        return;
    QsciScintilla::replaceSelectedText(text);
    reportChange();
}

void PageEditor::setText(const QString &text) {
    if (m_loading)
        return;
    QsciScintilla::setText(text);
    reportChange();
}

void PageEditor::undo() {
    if (m_loading)
        return;
    QsciScintilla::undo();
    reportChange();
}

void PageEditor::keyPressEvent(QKeyEvent *event) {
    QsciScintilla::keyPressEvent(event);
    reportChange();
    checkSelection();
}

void PageEditor::inputMethodEvent(QInputMethodEvent *event) {
    QsciScintilla::inputMethodEvent(event);
    reportChange();
    checkSelection();
}

void PageEditor::dropEvent(QDropEvent *event) {
    QsciScintilla::dropEvent(event);
    reportChange();
    checkSelection();
}

void PageEditor::mousePressEvent(QMouseEvent *event) {
    QsciScintilla::mousePressEvent(event);
    reportChange();
    checkSelection();
}

void PageEditor::mouseMoveEvent(QMouseEvent *event) {
    QsciScintilla::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton) {
        reportChange();
        checkSelection();
    }
}

void PageEditor::mouseReleaseEvent(QMouseEvent *event) {
    QsciScintilla::mouseReleaseEvent(event);
    reportChange();
    checkSelection();
}
