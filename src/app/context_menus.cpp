#include "app/context_menus.h"

#include "app/shell_hooks.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "ui/feedback.h"
#include "ui/icons.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

ContextMenus::ContextMenus(QWidget *owner, const Wiring &wiring) : QObject(owner), m_wiring(wiring) {
    PMRichEdit = new QMenu(owner);
    PMRichEdit->setObjectName(QStringLiteral("PMRichEdit"));
    PMTreeView = new QMenu(owner);
    PMTreeView->setObjectName(QStringLiteral("PMTreeView"));
    PMTab = new QMenu(owner);
    PMTab->setObjectName(QStringLiteral("PMTab"));
    createRichEditMenu();
    createTreeViewMenu();
    createTabMenu();
    connect(PMRichEdit, &QMenu::aboutToShow, this, [this] { PMRichEditPopup(); });
    connect(PMTab, &QMenu::aboutToShow, this, [this] { PMTabPopup(); });
}

QAction *ContextMenus::add(QMenu *menu, const char *name, const char *caption, int image) {
    // Captions carry no "&": Qt assigns no accelerators of its own.
    auto *action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (image >= 0)
        action->setIcon(MainImage(image));
    action->setProperty("imageIndex", image);
    m_items.insert(action->objectName(), action);
    return action;
}

void ContextMenus::createRichEditMenu() {
    auto editor = [this] { return m_wiring.context.CurrentEditor; };
    connect(add(PMRichEdit, "PMUndo", "Undo"), &QAction::triggered, this, [editor] {
        if (PageEditor *e = editor())
            e->undo();
    });
    PMRichEdit->addSeparator();
    connect(add(PMRichEdit, "PMCut", "Cut"), &QAction::triggered, this, [editor] {
        if (PageEditor *e = editor())
            e->cut();
    });
    connect(add(PMRichEdit, "PMCopy", "Copy"), &QAction::triggered, this, [editor] {
        if (PageEditor *e = editor())
            e->copy();
    });
    connect(add(PMRichEdit, "PMPaste", "Paste"), &QAction::triggered, this, [editor] {
        if (PageEditor *e = editor())
            e->paste();
    });
    PMRichEdit->addSeparator();
    connect(add(PMRichEdit, "PMFind", "Find", 11), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBFind")); });
    connect(add(PMRichEdit, "PMReplace", "Replace", 12), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBReplace")); });
    PMRichEdit->addSeparator();
    connect(add(PMRichEdit, "PMRebuildTree", "Rebuild Tree", 13), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBRebuildTree")); });
    PMRichEdit->addSeparator();
    // The view's items; what they do belongs to the view options.
    add(PMRichEdit, "PMHighlight", "Highlight");
    add(PMRichEdit, "PMFolding", "Folding");
    add(PMRichEdit, "PMLineNumbers", "Line Numbers");
    add(PMRichEdit, "PMFoldAll", "Fold All");
    add(PMRichEdit, "PMUnfoldAll", "Unfold All");
    PMRichEdit->addSeparator();
    connect(add(PMRichEdit, "PMSave", "Save", 2), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBSave")); });
    connect(add(PMRichEdit, "PMRestoreBackup", "Restore backup..."), &QAction::triggered, this, [this] {
        if (m_wiring.hooks.RestoreBackup && m_wiring.context.CurrentSheet)
            m_wiring.hooks.RestoreBackup(m_wiring.context.CurrentPageIndex);
    });
}

void ContextMenus::createTreeViewMenu() {
    // What the items do, and when they are enabled, belongs to the structure tree's controller.
    add(PMTreeView, "PMEditKey", "Edit Key");
    add(PMTreeView, "PMEditValue", "Edit Value");
    PMTreeView->addSeparator();
    add(PMTreeView, "PMExpand", "Full Expand");
}

void ContextMenus::createTabMenu() {
    connect(add(PMTab, "PMTabClose", "Close", 5), &QAction::triggered, this, [this] {
        if (m_wiring.hooks.ClosePage)
            m_wiring.hooks.ClosePage(m_wiring.tabMenuPageIndex);
    });
    connect(add(PMTab, "PMTabCloseAll", "Close All", 14), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBCloseAll")); });
    PMTab->addSeparator();
    connect(add(PMTab, "PMTabSave", "Save", 2), &QAction::triggered, this, [this] {
        if (m_wiring.hooks.SavePage)
            m_wiring.hooks.SavePage(m_wiring.tabMenuPageIndex);
    });
    connect(add(PMTab, "PMTabSaveAll", "Save All", 3), &QAction::triggered, this,
            [this] { m_wiring.click(QStringLiteral("TBSaveAll")); });
    PMTab->addSeparator();
    connect(add(PMTab, "PMTabRestoreBackup", "Restore backup..."), &QAction::triggered, this, [this] {
        if (m_wiring.hooks.RestoreBackup)
            m_wiring.hooks.RestoreBackup(m_wiring.tabMenuPageIndex);
    });
}

void ContextMenus::PMRichEditPopup() {
    m_wiring.feedback.ShowHintPopup(QString(), true, 0);
    PageEditor *editor = m_wiring.context.CurrentEditor;
    const bool selection = editor && editor->selectionLength() > 0;
    item(QStringLiteral("PMUndo"))->setEnabled(editor && editor->isUndoAvailable());
    item(QStringLiteral("PMCut"))->setEnabled(selection);
    item(QStringLiteral("PMCopy"))->setEnabled(selection);
}

void ContextMenus::PMTabPopup() {
    // The states follow the page control, not the tab that was clicked.
    const bool active = m_wiring.pages->currentIndex() >= 0;
    const bool several = m_wiring.pages->count() > 1;
    item(QStringLiteral("PMTabClose"))->setEnabled(active);
    item(QStringLiteral("PMTabSave"))->setEnabled(active);
    item(QStringLiteral("PMTabRestoreBackup"))->setEnabled(active);
    item(QStringLiteral("PMTabCloseAll"))->setEnabled(several);
    item(QStringLiteral("PMTabSaveAll"))->setEnabled(several);
}
