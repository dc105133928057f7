#include "highlight/view_options.h"

#include "document/page_context.h"
#include "editor/page_editor.h"

#include <QAction>
#include <QSignalBlocker>
#include <QTabWidget>

ViewOptions::ViewOptions(QTabWidget *pages, PageContext &context, QObject *parent)
    : QObject(parent), m_pages(pages), m_context(context) {}

void ViewOptions::setSettings(const ViewSettings &settings) {
    m_settings = settings;
    for (PageEditor *editor : m_pages->findChildren<PageEditor *>())
        attach(editor);
    updateItems();
}

void ViewOptions::attach(PageEditor *editor) {
    StructureView *view = StructureView::of(editor);
    if (!view)
        view = new StructureView(editor);
    view->apply(m_settings);
}

void ViewOptions::bind(const Items &items) {
    m_items = items;
    for (QAction *toggle : {items.highlight, items.folding, items.lineNumbers})
        toggle->setCheckable(true);
    connect(items.highlight, &QAction::triggered, this, [this](bool on) {
        ViewSettings s = m_settings;
        s.Highlight = on;
        setSettings(s);
    });
    connect(items.folding, &QAction::triggered, this, [this](bool on) {
        ViewSettings s = m_settings;
        s.Folding = on;
        setSettings(s);
    });
    connect(items.lineNumbers, &QAction::triggered, this, [this](bool on) {
        ViewSettings s = m_settings;
        s.LineNumbers = on;
        setSettings(s);
    });
    connect(items.foldAll, &QAction::triggered, this, [this] { PMFoldAllClick(); });
    connect(items.unfoldAll, &QAction::triggered, this, [this] { PMUnfoldAllClick(); });
    updateItems();
}

void ViewOptions::updateItems() {
    if (!m_items.highlight)
        return;
    const QSignalBlocker b1(m_items.highlight), b2(m_items.folding), b3(m_items.lineNumbers);
    m_items.highlight->setChecked(m_settings.Highlight);
    m_items.folding->setChecked(m_settings.Folding);
    m_items.lineNumbers->setChecked(m_settings.LineNumbers);
    m_items.foldAll->setEnabled(m_settings.Folding);
    m_items.unfoldAll->setEnabled(m_settings.Folding);
}

void ViewOptions::PMFoldAllClick() {
    if (StructureView *view = StructureView::of(m_context.CurrentEditor))
        view->foldAll();
}

void ViewOptions::PMUnfoldAllClick() {
    if (StructureView *view = StructureView::of(m_context.CurrentEditor))
        view->unfoldAll();
}
