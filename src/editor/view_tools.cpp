#include "editor/view_tools.h"

#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "ui/dialogs.h"
#include "ui/feedback.h"

#include <QTabWidget>

ViewTools::ViewTools(QTabWidget *pages, PageContext &context, Dialogs &dialogs, Feedback &feedback)
    : QObject(pages), m_pages(pages), m_context(context), m_dialogs(dialogs), m_feedback(feedback) {}

void ViewTools::TBFontClick() {
    FontChanging = true;
    QFont font = m_pages->font();
    if (m_dialogs.ChooseFont(font)) {
        for (int i = 0; i < m_pages->count(); ++i) {
            if (SelectPageContext(m_context, m_pages, i))
                m_context.CurrentSheet->SavedModified = m_context.CurrentEditor->isModified();
        }
        m_pages->setFont(font);
        for (int i = 0; i < m_pages->count(); ++i) {
            if (SelectPageContext(m_context, m_pages, i))
                m_context.CurrentEditor->setModified(m_context.CurrentSheet->SavedModified);
        }
        SelectActivePageContext(m_context, m_pages);
    }
    FontChanging = false;
}

void ViewTools::TBArrangeClick() {
    if (!m_context.CurrentSheet)
        return;
    m_feedback.AnchorHintAtMouse();
    m_context.CurrentSheet->setTreeWidth(m_context.CurrentSheet->defaultTreeWidth());
    m_feedback.ShowHintPopup(QStringLiteral("View rearranged"), true, 3);
}

void ViewTools::TBArrangeAllClick() {
    m_feedback.AnchorHintAtMouse();
    for (int i = 0; i < m_pages->count(); ++i) {
        if (SelectPageContext(m_context, m_pages, i))
            m_context.CurrentSheet->setTreeWidth(m_context.CurrentSheet->defaultTreeWidth());
    }
    SelectActivePageContext(m_context, m_pages);
    if (m_pages->count() > 0)
        m_feedback.ShowHintPopup(QStringLiteral("All views rearranged"), true, 3);
    else
        m_feedback.ShowHintPopup(QString(), true, 0);
}

void ViewTools::TBArrangeToClick() {
    if (!m_context.CurrentSheet)
        return;
    m_feedback.AnchorHintAtMouse();
    const int width = m_context.CurrentSheet->treeWidth();
    for (int i = 0; i < m_pages->count(); ++i) {
        if (SelectPageContext(m_context, m_pages, i))
            m_context.CurrentSheet->setTreeWidth(width);
    }
    SelectActivePageContext(m_context, m_pages);
    m_feedback.ShowHintPopup(QStringLiteral("All views are set"), true, 3);
}
