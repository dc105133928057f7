#pragma once
// Guards against handlers that pumped events re-entering a page under an
// operation. An operation that lets events run while it holds references into a
// page (a conversion wait, a tree build, a tree-editor synchronisation) holds a
// BusyGuard for that time: page commands on that page are refused meanwhile,
// and the window's close waits until no operation is under way.

#include <QObject>
#include <QPointer>

class Page;

class BusyState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool isBusy() const { return m_depth > 0; }
    int depth() const { return m_depth; }

Q_SIGNALS:
    // The last operation under way has ended.
    void becameIdle();

private:
    friend class BusyGuard;
    int m_depth = 0;
};

class BusyGuard {
public:
    BusyGuard(BusyState &state, Page *page);
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    BusyState &m_state;
    QPointer<Page> m_page;
};
