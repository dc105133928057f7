#include "highlight/structure_view.h"

#include "editor/page_editor.h"
#include "highlight/line_tokens.h"
#include "highlight/structure_lexer.h"

#include <QColor>
#include <QPalette>
#include <QVarLengthArray>

namespace {

using Sci = QsciScintillaBase;

long ScintillaColour(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QColor Mix(const QColor &a, const QColor &b, double share) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * share,
                            a.greenF() + (b.greenF() - a.greenF()) * share,
                            a.blueF() + (b.blueF() - a.blueF()) * share);
}

bool IsDark(const QPalette &palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

// A hue at a lightness that reads on the palette's base: light on dark, dark on light.
QColor Hue(int hue, const QPalette &palette) {
    return IsDark(palette) ? QColor::fromHsl(hue, 170, 175) : QColor::fromHsl(hue, 200, 80);
}

} // namespace

StructureView::StructureView(PageEditor *editor) : QObject(editor), m_editor(editor) {
    setObjectName(QStringLiteral("StructureView"));
    m_lexer = new StructureLexer(editor);
    connect(editor, &PageEditor::stylesReset, this, &StructureView::applyColours);
    connect(editor, &PageEditor::edited, this, &StructureView::updateNumberWidth);
    // Inside the paint that follows a caret move or an edit, before it draws.
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, &StructureView::matchBraces);
    editor->SendScintilla(Sci::SCI_SETCARETLINEVISIBLE, 1UL);
    editor->SendScintilla(Sci::SCI_SETCARETLINEVISIBLEALWAYS, 1UL);
    applyColours();
}

StructureView *StructureView::of(PageEditor *editor) {
    return editor ? editor->findChild<StructureView *>(QStringLiteral("StructureView"),
                                                       Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void StructureView::apply(const ViewSettings &settings) {
    const bool first = !m_applied;
    m_applied = true;
    const ViewSettings old = m_settings;
    m_settings = settings;
    m_lexer->setHighlighting(settings.Highlight);
    if (first || old.Folding != settings.Folding) {
        if (settings.Folding) {
            // QsciScintilla asks for a notice of every fold level set; the lexer handles the one
            // change that needs handling (see StructureLexer::styleLines).
            const long mask = m_editor->SendScintilla(Sci::SCI_GETMODEVENTMASK);
            m_editor->setFolding(QsciScintilla::BoxedTreeFoldStyle, FoldMargin);
            m_editor->SendScintilla(Sci::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
            m_editor->SendScintilla(Sci::SCI_SETAUTOMATICFOLD,
                                    static_cast<unsigned long>(Sci::SC_AUTOMATICFOLD_SHOW));
        } else {
            // Nothing may stay hidden without a margin to open it.
            unfoldAll();
            m_editor->setFolding(QsciScintilla::NoFoldStyle, FoldMargin);
        }
    }
    m_editor->setMarginType(NumberMargin, QsciScintilla::NumberMargin);
    m_numberDigits = -1;
    updateNumberWidth();
    applyColours();
}

void StructureView::foldAll() {
    if (!m_settings.Folding)
        return;
    m_lexer->styleAll();
    // Every table, nested ones too (Scintilla's own fold-all folds the outermost level only),
    // so that opening a table shows its members with their tables folded.
    const long lines = m_editor->SendScintilla(Sci::SCI_GETLINECOUNT);
    for (long line = 0; line < lines; ++line) {
        if (m_editor->SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line)) &
            Sci::SC_FOLDLEVELHEADERFLAG)
            m_editor->SendScintilla(Sci::SCI_FOLDLINE, static_cast<unsigned long>(line),
                                    static_cast<long>(Sci::SC_FOLDACTION_CONTRACT));
    }
    // The caret's line stays in view.
    m_editor->SendScintilla(Sci::SCI_SCROLLCARET);
}

void StructureView::unfoldAll() {
    m_editor->SendScintilla(Sci::SCI_FOLDALL, static_cast<unsigned long>(Sci::SC_FOLDACTION_EXPAND));
}

QColor StructureView::tokenColour(TokenKind kind, const QPalette &palette) {
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    switch (kind) {
    case TokenKind::Plain:
        return text;
    case TokenKind::Marker:
        return Mix(text, base, 0.6);
    case TokenKind::Key:
        return Hue(215, palette);
    case TokenKind::Colon:
        return Mix(text, base, 0.35);
    case TokenKind::String:
        return Hue(120, palette);
    case TokenKind::Number:
        return Hue(25, palette);
    case TokenKind::Boolean:
        return Hue(285, palette);
    case TokenKind::Brace:
        return Hue(180, palette);
    }
    return text;
}

void StructureView::applyColours() {
    const QPalette palette = m_editor->palette();
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    // The styles were reset to the editor font and text colour; only the colours differ.
    for (int style = 1; style < TokenKindCount; ++style)
        m_editor->SendScintilla(Sci::SCI_STYLESETFORE, static_cast<unsigned long>(style),
                                ScintillaColour(tokenColour(static_cast<TokenKind>(style), palette)));
    const QColor braceBack = Mix(base, palette.color(QPalette::Highlight), 0.3);
    m_editor->SendScintilla(Sci::SCI_STYLESETBACK, static_cast<unsigned long>(Sci::STYLE_BRACELIGHT),
                            ScintillaColour(braceBack));
    m_editor->SendScintilla(Sci::SCI_STYLESETBOLD, static_cast<unsigned long>(Sci::STYLE_BRACELIGHT), 1L);
    m_editor->SendScintilla(Sci::SCI_STYLESETFORE, static_cast<unsigned long>(Sci::STYLE_BRACEBAD),
                            ScintillaColour(IsDark(palette) ? QColor(255, 110, 110) : QColor(200, 0, 0)));
    m_editor->SendScintilla(Sci::SCI_SETCARETLINEBACK, ScintillaColour(Mix(base, text, 0.07)));
    const QColor margin = Mix(base, text, 0.05);
    m_editor->SendScintilla(Sci::SCI_STYLESETFORE, static_cast<unsigned long>(Sci::STYLE_LINENUMBER),
                            ScintillaColour(Mix(text, base, 0.5)));
    m_editor->SendScintilla(Sci::SCI_STYLESETBACK, static_cast<unsigned long>(Sci::STYLE_LINENUMBER),
                            ScintillaColour(margin));
    m_editor->SendScintilla(Sci::SCI_SETFOLDMARGINCOLOUR, 1UL, ScintillaColour(margin));
    m_editor->SendScintilla(Sci::SCI_SETFOLDMARGINHICOLOUR, 1UL, ScintillaColour(margin));
    for (int marker = int(Sci::SC_MARKNUM_FOLDEREND); marker <= int(Sci::SC_MARKNUM_FOLDEROPEN); ++marker) {
        m_editor->SendScintilla(Sci::SCI_MARKERSETFORE, static_cast<unsigned long>(marker),
                                ScintillaColour(base));
        m_editor->SendScintilla(Sci::SCI_MARKERSETBACK, static_cast<unsigned long>(marker),
                                ScintillaColour(Mix(text, base, 0.45)));
    }
    // The width of the numbers follows the font.
    m_numberDigits = -1;
    updateNumberWidth();
}

void StructureView::updateNumberWidth() {
    if (!m_settings.LineNumbers) {
        if (m_numberDigits != 0)
            m_editor->setMarginWidth(NumberMargin, 0);
        m_numberDigits = 0;
        return;
    }
    const long lines = m_editor->SendScintilla(Sci::SCI_GETLINECOUNT);
    const int digits = qMax(3, static_cast<int>(QString::number(lines).size()));
    if (digits == m_numberDigits)
        return;
    m_numberDigits = digits;
    const QByteArray sample = "_" + QByteArray(digits, '9');
    const long width = m_editor->SendScintilla(
        Sci::SCI_TEXTWIDTH, static_cast<unsigned long>(Sci::STYLE_LINENUMBER), sample.constData());
    m_editor->SendScintilla(Sci::SCI_SETMARGINWIDTHN, static_cast<unsigned long>(NumberMargin), width);
}

namespace {

// Scintilla's own match (SCI_BRACEMATCH) walks to the partner however far away it is: from the
// brace of the root table that is the whole text, 0.7 s on a 1,000,000-line page at every caret
// move beside it. Here the partner is looked for line by line, with the braces that the line
// grammar sees outside strings, in at most this many lines; one farther away leaves the brace
// lit alone.
constexpr long kBraceLines = 2000;

// The bytes of a line without its end, and where it starts.
QByteArrayView LineBytes(PageEditor *editor, long line, long *start) {
    *start = editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = editor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    if (end <= *start)
        return {};
    const auto *text = reinterpret_cast<const char *>(
        editor->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(*start), end - *start));
    return QByteArrayView(text, end - *start);
}

// Braces of a line that count (outside strings), in its kinds.
const TokenKind *LineKinds(QByteArrayView bytes, QVarLengthArray<TokenKind, 256> &kinds) {
    kinds.resize(bytes.size());
    ClassifyLine(bytes, kinds.data());
    return kinds.data();
}

} // namespace

void StructureView::matchBraces() {
    const long caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (caret == m_braceCaret && m_editor->changeCount() == m_braceChange)
        return;
    m_braceCaret = caret;
    m_braceChange = m_editor->changeCount();
    const long line = m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    long lineStart = 0;
    QVarLengthArray<TokenKind, 256> kinds;
    QByteArrayView bytes = LineBytes(m_editor, line, &lineStart);
    const TokenKind *kind = LineKinds(bytes, kinds);
    long at = -1;
    for (const long position : {caret - 1, caret}) {
        const long i = position - lineStart;
        if (i >= 0 && i < bytes.size() && kind[i] == TokenKind::Brace) {
            at = position;
            break;
        }
    }
    m_lit = LitBraces();
    if (at < 0) {
        m_editor->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(-1), -1L);
        return;
    }
    const bool opening = bytes[at - lineStart] == '{';
    const long step = opening ? 1 : -1;
    const long lines = m_editor->SendScintilla(Sci::SCI_GETLINECOUNT);
    int depth = 0;
    long partner = -1;
    bool farAway = true;
    for (long l = line, seen = 0; seen <= kBraceLines; l += step, ++seen) {
        if (l < 0 || l >= lines) {
            farAway = false; // the text ends without a partner
            break;
        }
        if (l != line) {
            bytes = LineBytes(m_editor, l, &lineStart);
            kind = LineKinds(bytes, kinds);
        }
        qsizetype i = l == line ? at - lineStart : (opening ? 0 : bytes.size() - 1);
        for (; i >= 0 && i < bytes.size(); i += step) {
            if (kind[i] != TokenKind::Brace)
                continue;
            depth += (bytes[i] == '{') == opening ? 1 : -1;
            if (depth == 0) {
                partner = lineStart + i;
                break;
            }
        }
        if (partner >= 0)
            break;
    }
    m_lit = {at, partner, partner < 0 && !farAway};
    if (partner >= 0)
        m_editor->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(at), partner);
    else if (farAway)
        m_editor->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(at), -1L);
    else
        m_editor->SendScintilla(Sci::SCI_BRACEBADLIGHT, static_cast<unsigned long>(at));
}
