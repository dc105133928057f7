#pragma once
// How the pages look: the one editor font of all pages, and the width of the
// structure-tree pane of one or all pages.
//
// The editor font is the page control's font: tabs, trees and editors inherit it (each editor
// draws its text in the font it inherits), and so do pages opened later.

#include <QObject>

class Dialogs;
class Feedback;
class QTabWidget;
struct PageContext;

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
    QTabWidget *m_pages;
    PageContext &m_context;
    Dialogs &m_dialogs;
    Feedback &m_feedback;
};
