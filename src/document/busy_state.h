#pragma once
// Guards against handlers that pumped events re-entering a page under an
// operation. An operation that lets events run while it holds references into a
// page (a conversion wait, a tree build, a tree-editor synchronisation) holds a
// BusyGuard for that time: page commands on that page are refused meanwhile,
// and the window's close waits until no operation is under way.

#include <QObject>
#include <QPointer>
#include <QStringList>

class Page;

class BusyState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool isBusy() const { return m_depth > 0; }
    int depth() const { return m_depth; }
    // The file of the innermost operation under way that names one; empty when none does.
    QString busyName() const {
        for (qsizetype i = m_names.size() - 1; i >= 0; --i) {
            if (!m_names.at(i).isEmpty())
                return m_names.at(i);
        }
        return QString();
    }

Q_SIGNALS:
    // The last operation under way has ended.
    void becameIdle();

private:
    friend class BusyGuard;
    int m_depth = 0;
    QStringList m_names;
};

// The status text for a command refused (or put off) because the file's page is busy.
QString BusyMessage(const QString &path);

class BusyGuard {
public:
    // name: the file the operation works on, when there is no page (yet); a page names its own.
    BusyGuard(BusyState &state, Page *page, const QString &name = QString());
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    BusyState &m_state;
    QPointer<Page> m_page;
    QString m_name;
};
