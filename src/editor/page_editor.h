#pragma once
// The text editor of a page: QScintilla without lexer or wrap, holding the
// converted text. Files are code page 1252; the widget works in UTF-8 so that
// every 8-bit character shows as itself. Positions and columns that this class
// takes and returns count characters of the 8-bit text, never UTF-8 bytes.

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QString>

#include <functional>

class PageEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit PageEditor(QWidget *parent = nullptr);

    // Told of every piece of a load once the widget has it: the piece as UTF-8, the file's bytes
    // given to the widget so far and the file's size.
    using LoadObserver = std::function<void(const QByteArray &utf8, qint64 done, qint64 total)>;
    // Replaces the whole text with the file's bytes; false with a reason when it cannot be read
    // (the text is then unchanged; an editor that was empty stays empty). A large file is handed
    // to the widget in pieces, and events run between them; meanwhile the editor is read-only.
    bool loadFile(const QString &path, QString *error = nullptr, const LoadObserver &observer = {});
    // The pieces of a load: small enough to keep the window alive between them, large enough to
    // cost nothing extra.
    static constexpr qint64 LoadPieceBytes = 1 << 19;
    // Writes the text as the file's bytes, in the line-break style the text has.
    bool saveFile(const QString &path, QString *error = nullptr) const;
    // The whole text as code page 1252 bytes, and back (one undoable edit when undoable is true).
    QByteArray bytes8() const;
    void setBytes8(const QByteArray &bytes, bool undoable = false);
    QString text8() const;
    void setText8(const QString &text, bool undoable = false);
    // The widget's buffer, UTF-8; valid until the text changes.
    QByteArrayView utf8View() const;
    // The offset in that buffer of a line's first byte.
    long lineStartByte(int line) const;

    // Lines of the line list: a last line that is empty is not counted.
    int LineCount() const;
    // The text of a line without its break; empty outside 0 .. LineCount() - 1.
    QString Line(int index) const;

    // The caret is the end of the selection.
    int caretLine() const;
    int caretColumn() const;
    // Puts the selection start at the line's first character plus column, selects nothing, no scroll.
    void setCaret(int column, int line);

    int selectionStart() const;
    int selectionLength() const;
    // Selection start without scrolling, and a selection of length from it that scrolls the caret into view.
    void setSelectionStart(int position);
    void setSelectionLength(int length);
    QString selectedText8() const;
    // An ordinary edit: raises the change event and marks the editor modified.
    void replaceSelection(const QString &text);

    int textLength() const;
    int positionFromLine(int line) const;
    int lineFromPosition(int position) const;

    void lineScroll(int lines);
    void scrollCaret();

    bool isModified() const;
    void setModified(bool modified);

    // The first occurrence of text at or after position from (see editor/text_search.h), or -1.
    int findText8(const QString &text, int from, bool matchCase, bool wholeWord) const;
    // Replaces every occurrence of text in the whole text as one undoable edit (also when
    // there is none, which still counts as a change of a non-empty text); returns the count.
    int replaceAll8(const QString &text, const QString &replacement, bool matchCase);

    // The indicator that draws the font's strike-out over the text.
    static constexpr int StrikeIndicator = INDIC_CONTAINER;

    // The caret line last synchronised into the tree; -1 after a rebuild.
    int LastSyncedLine = 0;

    // Counts every change of the text, so that a save can tell whether the text changed after
    // the moment it was written out.
    quint64 changeCount() const { return m_changeCount; }

    // The characters of a text as positions count them: a character outside the Basic
    // Multilingual Plane is one, though a QString holds it in two units.
    static int charCount(QStringView text);
    // A column in a QString of a line (UTF-16 units) as a column of the editor.
    static int charColumn(QStringView line, int column) { return charCount(line.left(column)); }

    // Byte offsets of the widget's UTF-8 buffer for character positions, and back.
    long bytePosition(int position) const;
    int charPosition(long bytePos) const;

Q_SIGNALS:
    // Every caret or selection change, raised at once for changes the program makes.
    void selectionMoved();
    // Every change of the text: at once for changes through this class's operations, the
    // widget's own editing slots and the keyboard, mouse and drops; for any other edit of the
    // widget (a message sent to it directly) when events next run.
    void edited();
    // Every style was set back to the editor font and text colour (a change of font or palette).
    void stylesReset();

public Q_SLOTS:
    // Raises selectionMoved when the selection differs from the one reported last.
    void checkSelection();

    // The widget's editing slots, each followed by edited() when it changed the text. While a
    // load lets events run they do nothing (QScintilla's slots write also to a read-only text).
    void append(const QString &text) override;
    void clear() override;
    void cut() override;
    void insert(const QString &text) override;
    void insertAt(const QString &text, int line, int index) override;
    void paste() override;
    void redo() override;
    void removeSelectedText() override;
    void replaceSelectedText(const QString &text) override;
    void setText(const QString &text) override;
    void undo() override;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyFont();
    // Folded lines between two positions are shown.
    void showLines(long from, long to);
    // Covers the whole text with the strike indicator while the font is struck out.
    void updateStrikeOut();
    // A change of the text is under way (the widget tells before it makes one); reportChange
    // raises edited() once it is made.
    void noteChange();
    void reportChange();
    // Replaces the text with UTF-8 bytes as one piece.
    void replaceTextUtf8(const QByteArray &utf8, bool undoable);
    // The break style of a text: that of its first line break.
    void takeLineBreakStyle(const char *utf8, qsizetype size);
    QString range8(long start, long end) const;
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const {
        return SendScintilla(message, wParam, lParam);
    }
    long m_reportedAnchor = -1;
    long m_reportedCaret = -1;
    bool m_forcedModified = false;
    bool m_changePending = false;
    bool m_loading = false;
    bool m_strikeOut = false;
    bool m_struck = false; // the text carries the strike indicator
    quint64 m_changeCount = 0;
};
