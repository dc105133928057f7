#include "document/page_context.h"

#include "document/page.h"
#include "platform/file_names.h"

#include <QTabWidget>

void ClearPageContext(PageContext &context) {
    context = PageContext();
}

bool SelectPageContext(PageContext &context, const QTabWidget *pages, int index) {
    ClearPageContext(context);
    if (index < 0 || index > pages->count() - 1)
        return false;
    auto *page = qobject_cast<Page *>(pages->widget(index));
    if (!page)
        return false;
    context.CurrentSheet = page;
    context.CurrentPageIndex = index;
    context.CurrentRbfPath = page->RbfPath;
    context.CurrentTextPath = ChangeFileExt(page->RbfPath, QStringLiteral(".txt"));
    context.CurrentTree = page->tree();
    context.CurrentEditor = page->editor();
    return true;
}

void SelectActivePageContext(PageContext &context, const QTabWidget *pages) {
    SelectPageContext(context, pages, pages->currentIndex());
}
