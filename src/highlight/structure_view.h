#pragma once
// How one page editor shows the structure of its text: colours from the lexer, a fold margin,
// line numbers, the brace that matches the one at the caret, and the caret's line. Colours come
// from the editor's palette, so they follow light and dark themes; the editor font stays the
// font of every style, and the text colour that of plain text.

#include <QObject>

class PageEditor;
class QColor;
class QPalette;
class StructureLexer;
enum class TokenKind : char;

struct ViewSettings {
    bool Highlight = true;
    bool Folding = true;
    bool LineNumbers = true;
    bool operator==(const ViewSettings &o) const {
        return Highlight == o.Highlight && Folding == o.Folding && LineNumbers == o.LineNumbers;
    }
};

class StructureView : public QObject {
    Q_OBJECT
public:
    // Lives as long as the editor (its child).
    explicit StructureView(PageEditor *editor);
    // The view of an editor, nullptr when it has none.
    static StructureView *of(PageEditor *editor);

    void apply(const ViewSettings &settings);
    const ViewSettings &settings() const { return m_settings; }

    // Every table folded to its first line, or every fold opened.
    void foldAll();
    void unfoldAll();

    StructureLexer *lexer() const { return m_lexer; }
    static QColor tokenColour(TokenKind kind, const QPalette &palette);

    // The braces lit at the caret: a brace and its partner (-1 when it lies farther than the
    // matcher looks), or a brace without one (bad); at is -1 when none is lit.
    struct LitBraces {
        long at = -1;
        long partner = -1;
        bool bad = false;
    };
    LitBraces litBraces() const { return m_lit; }

    static constexpr int FoldMargin = 2;
    static constexpr int NumberMargin = 0;

private:
    // After each reset of the editor's styles (font, palette).
    void applyColours();
    void updateNumberWidth();
    void matchBraces();

    PageEditor *m_editor;
    StructureLexer *m_lexer;
    ViewSettings m_settings;
    bool m_applied = false;
    int m_numberDigits = 0;
    // The caret and text that the brace highlight was last worked out for.
    long m_braceCaret = -1;
    quint64 m_braceChange = 0;
    LitBraces m_lit;
};
