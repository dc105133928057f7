#include "highlight/structure_lexer.h"

#include "highlight/line_tokens.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QEvent>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// Lines styled in one piece: the text of a piece is copied out of the widget (which, unlike a
// pointer into it, never moves the widget's gap) and styled with one message.
constexpr int kPieceLines = 4096;
constexpr int kTopLevel = QsciScintillaBase::SC_FOLDLEVELNUMBERMASK - QsciScintillaBase::SC_FOLDLEVELBASE;
} // namespace

StructureLexer::StructureLexer(QsciScintilla *editor) : QsciLexerCustom(editor) {
    setEditor(editor);
    // Inside the paint, after the styling the paint asked for and before drawing; and after the
    // paint for a view that grew without scrolling.
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, &StructureLexer::styleShown);
    connect(editor, &QsciScintillaBase::SCN_PAINTED, this, &StructureLexer::styleShown);
}

bool StructureLexer::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::UpdateRequest && watched == m_window)
        styleBeforePaint();
    return QsciLexerCustom::eventFilter(watched, event);
}

void StructureLexer::watchWindow() {
    QWidget *window = editor() ? editor()->window() : nullptr;
    if (window == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

void StructureLexer::styleBeforePaint() {
    QsciScintilla *e = editor();
    if (!e || !e->isVisible())
        return;
    styleShown();
    long shownEnd = e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                     static_cast<unsigned long>(lastLineShown() + 1));
    if (shownEnd < 0) // past the last line
        shownEnd = e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long styledEnd = e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    if (shownEnd > styledEnd)
        styleText(static_cast<int>(styledEnd), static_cast<int>(shownEnd));
}

StructureLexer::~StructureLexer() = default;

QString StructureLexer::description(int style) const {
    switch (static_cast<TokenKind>(style)) {
    case TokenKind::Plain:
        return QStringLiteral("Plain");
    case TokenKind::Marker:
        return QStringLiteral("Depth marker");
    case TokenKind::Key:
        return QStringLiteral("Key");
    case TokenKind::Colon:
        return QStringLiteral("Colon");
    case TokenKind::String:
        return QStringLiteral("String");
    case TokenKind::Number:
        return QStringLiteral("Number");
    case TokenKind::Boolean:
        return QStringLiteral("Boolean");
    case TokenKind::Brace:
        return QStringLiteral("Brace");
    }
    return QString();
}

void StructureLexer::setHighlighting(bool on) {
    if (m_highlighting == on)
        return;
    m_highlighting = on;
    restyle();
}

void StructureLexer::restyle() {
    if (QsciScintilla *e = editor()) {
        e->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL, 0L);
        e->viewport()->update();
    }
}

int StructureLexer::firstLineShown() const {
    QsciScintilla *e = editor();
    const long top = e->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    return static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(top)));
}

int StructureLexer::lastLineShown() const {
    QsciScintilla *e = editor();
    const long top = e->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shown = e->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    return static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(top + shown)));
}

void StructureLexer::styleText(int start, int end) {
    QsciScintilla *e = editor();
    if (!e || end <= start)
        return;
    watchWindow();
    int first = static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)));
    int last = static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1)));
    clipPassedOver(first);
    // Requests that step a little further (a fold looking for its last line) are met in full.
    const int shownEnd = lastLineShown() + LinesAhead;
    if (last - first > LinesAhead && last > shownEnd)
        last = std::max(first + LinesAhead, shownEnd);
    // A jump far ahead: the lines before the screen wait until they are shown.
    const int shownFirst = firstLineShown();
    if (shownFirst - first > LinesAhead && last >= shownFirst) {
        m_passedOver.append({first, shownFirst - 1});
        first = shownFirst;
    }
    styleLines(first, last);
}

void StructureLexer::clipPassedOver(int line) {
    while (!m_passedOver.isEmpty() && m_passedOver.last().first >= line)
        m_passedOver.removeLast();
    if (!m_passedOver.isEmpty() && m_passedOver.last().second >= line)
        m_passedOver.last().second = line - 1;
}

void StructureLexer::stylePassedOver(int first, int last) {
    QsciScintilla *e = editor();
    const long styledEnd = e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    QVector<QPair<int, int>> rest;
    for (const QPair<int, int> &range : std::as_const(m_passedOver)) {
        const int from = std::max(first, range.first);
        const int to = std::min(last, range.second);
        if (from > to) {
            rest.append(range);
            continue;
        }
        styleLines(from, to);
        if (range.first < from)
            rest.append({range.first, from - 1});
        if (to < range.second)
            rest.append({to + 1, range.second});
    }
    m_passedOver = rest;
    e->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(styledEnd), 0L);
}

void StructureLexer::styleShown() {
    QsciScintilla *e = editor();
    if (!e || m_passedOver.isEmpty())
        return;
    // What lies after the styled end is not styled for the editor either, and is asked for anew.
    const long styledEnd = e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    clipPassedOver(static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(styledEnd))));
    if (!m_passedOver.isEmpty())
        stylePassedOver(firstLineShown(), lastLineShown());
}

int StructureLexer::levelAfter(int line) const {
    if (line < 0)
        return 0;
    QsciScintilla *e = editor();
    const long start =
        e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end =
        e->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    QByteArray text(static_cast<qsizetype>(end - start) + 1, Qt::Uninitialized);
    e->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, start, end, text.data());
    text.truncate(end - start);
    // A marked line says it itself; an unmarked one kept the level it took from before it.
    const int stored = static_cast<int>(
        (e->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line)) &
         QsciScintillaBase::SC_FOLDLEVELNUMBERMASK) -
        QsciScintillaBase::SC_FOLDLEVELBASE);
    return FoldOfLine(text, std::max(stored, 0)).levelAfter;
}

void StructureLexer::styleLines(int first, int last) {
    QsciScintilla *e = editor();
    if (!e)
        return;
    const int lines = static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
    last = std::min(last, lines - 1);
    if (first < 0 || first > last)
        return;
    int before = levelAfter(first - 1);
    QByteArray text;
    std::vector<char> styles;
    for (int pieceFirst = first; pieceFirst <= last; pieceFirst += kPieceLines) {
        const int pieceLast = std::min(last, pieceFirst + kPieceLines - 1);
        const long pieceStart =
            e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(pieceFirst));
        const long pieceEnd = e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                               static_cast<unsigned long>(pieceLast + 1));
        const qsizetype length = static_cast<qsizetype>(pieceEnd - pieceStart);
        text.resize(length + 1);
        e->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, pieceStart, pieceEnd, text.data());
        styles.assign(static_cast<size_t>(length), 0);
        for (int line = pieceFirst; line <= pieceLast; ++line) {
            const long lineStart = line == pieceFirst
                                       ? pieceStart
                                       : e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                                          static_cast<unsigned long>(line));
            const long lineEnd =
                e->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            const QByteArrayView lineText(text.constData() + (lineStart - pieceStart), lineEnd - lineStart);
            if (m_highlighting)
                ClassifyLine(lineText,
                             reinterpret_cast<TokenKind *>(styles.data() + (lineStart - pieceStart)));
            const LineFold fold = FoldOfLine(lineText, before);
            before = fold.levelAfter;
            int level = QsciScintillaBase::SC_FOLDLEVELBASE + std::clamp(fold.level, 0, kTopLevel);
            if (fold.header)
                level |= QsciScintillaBase::SC_FOLDLEVELHEADERFLAG;
            const long was =
                e->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line));
            if (was == level)
                continue;
            // A folded table line that is one no longer shows its members first: nothing could
            // open them afterwards. (Scintilla's automatic handling of fold changes would do
            // this too, but it also walks every line after a new table line to its end.)
            if ((was & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG) &&
                !(level & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG) &&
                !e->SendScintilla(QsciScintillaBase::SCI_GETFOLDEXPANDED, static_cast<unsigned long>(line)))
                e->SendScintilla(QsciScintillaBase::SCI_FOLDLINE, static_cast<unsigned long>(line),
                                 static_cast<long>(QsciScintillaBase::SC_FOLDACTION_EXPAND));
            e->SendScintilla(QsciScintillaBase::SCI_SETFOLDLEVEL, static_cast<unsigned long>(line), level);
        }
        startStyling(static_cast<int>(pieceStart));
        e->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(length),
                         styles.data());
    }
}

void StructureLexer::styleAll() {
    QsciScintilla *e = editor();
    if (!e)
        return;
    if (!m_passedOver.isEmpty())
        stylePassedOver(0, static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)));
    const long styled = e->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    const int first = static_cast<int>(
        e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(styled)));
    styleLines(first, static_cast<int>(e->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)) - 1);
}
