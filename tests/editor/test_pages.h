#pragma once
// Pages for window tests of the editor tools: a page holding a given text,
// added to the window's page control without a converter, as the page it shows.

#include "app/main_window.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"

#include <QTabWidget>

inline Page *AddTextPage(TFormMain &window, const QString &text,
                         const QString &rbfPath = QStringLiteral("/data/unit.rbf")) {
    auto *page = new Page(rbfPath);
    window.PC->addTab(page, ExtractFileName(rbfPath));
    window.PC->setCurrentWidget(page);
    page->editor()->setText8(text);
    page->editor()->setModified(false);
    SelectPageContext(window.context(), window.PC, window.PC->indexOf(page));
    return page;
}
