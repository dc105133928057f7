#pragma once
// How the pages look: the one editor font of all pages, and the width of the
// structure-tree pane of one or all pages.

#include <QObject>

class Dialogs;
class Feedback;
class Page;
class QFont;
class QTabWidget;
struct PageContext;

// Gives a page's tree and editor the editor font. The editor needs it set explicitly: QScintilla
// draws its text in its own style fonts, which do not follow the font it inherits.
void ApplyEditorFont(Page *page, const QFont &font);

class ViewTools : public QObject {
    Q_OBJECT
public:
    ViewTools(QTabWidget *pages, PageContext &context, Dialogs &dialogs, Feedback &feedback);

    // Set while the editor font changes: the editors' change handler leaves the modified marks alone.
    bool FontChanging = false;

    void TBFontClick();
    void TBArrangeClick();
    void TBArrangeAllClick();
    void TBArrangeToClick();

private:
    Page *pageAt(int index) const;

    QTabWidget *m_pages;
    PageContext &m_context;
    Dialogs &m_dialogs;
    Feedback &m_feedback;
};
