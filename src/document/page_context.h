#pragma once
// The page that commands act on: references into one page of the page control.

#include <QString>

class Page;
class PageEditor;
class PageTree;
class QTabWidget;

struct PageContext {
    Page *CurrentSheet = nullptr;
    int CurrentPageIndex = -1;
    PageTree *CurrentTree = nullptr;
    PageEditor *CurrentEditor = nullptr;
    QString CurrentRbfPath;
    QString CurrentTextPath;
};

// Names the page at index; false, with the context cleared, when there is none.
bool SelectPageContext(PageContext &context, const QTabWidget *pages, int index);
void ClearPageContext(PageContext &context);
// The page control's active page, or a cleared context when no page is open.
void SelectActivePageContext(PageContext &context, const QTabWidget *pages);
