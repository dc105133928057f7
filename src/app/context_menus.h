#pragma once
// The three context menus: the editor menu (PMRichEdit), the structure-tree menu
// (PMTreeView) and the tab menu (PMTab), with their items, and the rules that
// enable the items of the editor and tab menus each time they open (the tree
// menu's are the structure tree's).

#include <QHash>
#include <QObject>
#include <functional>

class Feedback;
class QAction;
class QMenu;
class QTabWidget;
class QWidget;
struct PageContext;
struct ShellHooks;

class ContextMenus : public QObject {
    Q_OBJECT
public:
    struct Wiring {
        PageContext &context;
        QTabWidget *pages;
        Feedback &feedback;
        ShellHooks &hooks;
        std::function<void(const QString &)> click; // runs a tool button's command
        const int &tabMenuPageIndex;
    };
    ContextMenus(QWidget *owner, const Wiring &wiring);

    QMenu *PMRichEdit;
    QMenu *PMTreeView;
    QMenu *PMTab;
    // A menu item by its name (PMUndo, PMEditKey, PMTabClose, ...).
    QAction *item(const QString &name) const { return m_items.value(name); }
    const QHash<QString, QAction *> &items() const { return m_items; }

    void PMRichEditPopup();
    void PMTabPopup();

private:
    QAction *add(QMenu *menu, const char *name, const char *caption, int image = -1);
    void createRichEditMenu();
    void createTreeViewMenu();
    void createTabMenu();

    Wiring m_wiring;
    QHash<QString, QAction *> m_items;
};
