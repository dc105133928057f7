#include "document/busy_state.h"

#include "document/page.h"

BusyGuard::BusyGuard(BusyState &state, Page *page) : m_state(state), m_page(page) {
    ++m_state.m_depth;
    if (m_page)
        ++m_page->BusyCount;
}

BusyGuard::~BusyGuard() {
    if (m_page)
        --m_page->BusyCount;
    if (--m_state.m_depth == 0)
        Q_EMIT m_state.becameIdle();
}
