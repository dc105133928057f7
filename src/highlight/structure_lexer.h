#pragma once
// The page editor's lexer: colours each line by its tokens (highlight/line_tokens.h) and sets
// its fold level, for the lines about to be shown and no others. It is attached to the editor
// without QsciScintilla::setLexer, which would restyle the whole text at once and replace the
// editor font of every style; the editor is a container-styled Scintilla already.

#include <Qsci/qscilexercustom.h>

#include <QPair>
#include <QPointer>
#include <QVector>

class QPalette;

class StructureLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    explicit StructureLexer(QsciScintilla *editor);
    ~StructureLexer() override;

    const char *language() const override { return "Kestrelbench converted text"; }
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // Off: every character in the plain style; fold levels are kept either way.
    void setHighlighting(bool on);
    bool highlighting() const { return m_highlighting; }

    // Styles and folds lines [first, last], whatever is shown.
    void styleLines(int first, int last);
    // Everything not yet styled (before every table is folded).
    void styleAll();
    // Styles the lines on the screen that a jump passed over (see m_passedOver).
    void styleShown();
    // Styles what is shown and not styled yet. Run when the window is about to paint: styling
    // inside the editor's paint makes the widget ask for a second paint of its whole view (an
    // update requested during a paint is posted for later), so the paint should find its lines
    // styled already.
    void styleBeforePaint();
    // Styles everything again from the start as it is next shown.
    void restyle();

    // The lines that a request styles beyond the last shown line; a request for more (the whole
    // text when the lexer is attached, a brace far away) stops there.
    static constexpr int LinesAhead = 300;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Watches the editor's window (the one whose update requests paint it) for styleBeforePaint.
    void watchWindow();
    int firstLineShown() const;
    int lastLineShown() const;
    // Forgets what was passed over from line on: the text there may have moved since, and all
    // of it is styled again on request anyway.
    void clipPassedOver(int line);
    // Styles what of [first, last] was passed over, leaving the styled end where it was.
    void stylePassedOver(int first, int last);
    // The level that an unmarked line takes after line (the line before the first one styled).
    int levelAfter(int line) const;

    bool m_highlighting = true;
    QPointer<QWidget> m_window;
    // Lines that a jump far ahead passed over ([first, last], sorted, disjoint): the editor takes
    // them as styled, so that a jump to the end of a long text styles one screen and not the
    // whole text before it; they are styled as they come into view.
    QVector<QPair<int, int>> m_passedOver;
};
