#include "document/busy_state.h"

#include "document/page.h"

QString BusyMessage(const QString &path) {
    return QStringLiteral("%1 is busy, try again when it is done").arg(path);
}

BusyGuard::BusyGuard(BusyState &state, Page *page, const QString &name)
    : m_state(state), m_page(page), m_name(page ? page->RbfPath : name) {
    ++m_state.m_depth;
    m_state.m_names << m_name;
    if (m_page)
        ++m_page->BusyCount;
}

BusyGuard::~BusyGuard() {
    if (m_page)
        --m_page->BusyCount;
    const qsizetype at = m_state.m_names.lastIndexOf(m_name);
    if (at >= 0)
        m_state.m_names.removeAt(at);
    if (--m_state.m_depth == 0)
        Q_EMIT m_state.becameIdle();
}
