#pragma once
// Small helpers shared by the window tests of src/app.

#include "app/main_window.h"
#include "document/page.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QMap>
#include <QSignalSpy>
#include <QTabWidget>
#include <memory>

// Counts the triggers of every command and menu item of the window.
class ActionSpies {
public:
    explicit ActionSpies(TFormMain &window, const QStringList &names) {
        for (const QString &name : names) {
            QAction *action = window.action(name);
            if (action)
                m_spies.insert(name, std::make_shared<QSignalSpy>(action, &QAction::triggered));
        }
    }
    int count(const QString &name) const {
        return m_spies.contains(name) ? int(m_spies.value(name)->count()) : -1;
    }
    // Names of the actions triggered since the last reset, each once per trigger.
    QStringList fired() const {
        QStringList names;
        for (auto it = m_spies.begin(); it != m_spies.end(); ++it) {
            for (int i = 0; i < it.value()->count(); ++i)
                names << it.key();
        }
        return names;
    }
    void reset() {
        for (const auto &spy : m_spies)
            spy->clear();
    }

private:
    QMap<QString, std::shared_ptr<QSignalSpy>> m_spies;
};

// The window's activation asks for a converter unless one is set: any non-empty file will do.
inline void GiveConverter(WindowFixture &fixture) {
    fixture.window().ConverterPath = fixture.writeFile(QStringLiteral("converter"), "#!/bin/sh\nexit 0\n");
}

// Adds a page straight into the page control, as opening a file would.
inline Page *AddPage(TFormMain &window, const QString &name) {
    auto *page = new Page(QStringLiteral("/data/") + name + QStringLiteral(".rbf"));
    window.PC->addTab(page, name);
    return page;
}
