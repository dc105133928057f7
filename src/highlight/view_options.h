#pragma once
// The View settings of every page editor (highlighting, folding, line numbers) and the editor
// menu's commands over them: three toggles, Fold All and Unfold All.

#include "highlight/structure_view.h"

#include <QObject>

class PageEditor;
class QAction;
class QTabWidget;
struct PageContext;

class ViewOptions : public QObject {
    Q_OBJECT
public:
    ViewOptions(QTabWidget *pages, PageContext &context, QObject *parent = nullptr);

    const ViewSettings &settings() const { return m_settings; }
    // Applies to every page and to pages opened later.
    void setSettings(const ViewSettings &settings);
    // A page editor just made.
    void attach(PageEditor *editor);

    // The menu items that show and change the settings.
    struct Items {
        QAction *highlight;
        QAction *folding;
        QAction *lineNumbers;
        QAction *foldAll;
        QAction *unfoldAll;
    };
    void bind(const Items &items);

    void PMFoldAllClick();
    void PMUnfoldAllClick();

private:
    void updateItems();

    QTabWidget *m_pages;
    PageContext &m_context;
    ViewSettings m_settings;
    Items m_items{};
};
