#include "ucs/ucs_list.h"

#include "app/feedback.h"
#include "document/page_context.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "ucs/string_table.h"
#include "ucs/ucs_file.h"
#include "ui/dialogs.h"

#include <QComboBox>
#include <QPointer>
#include <QScopedValueRollback>
#include <QWidget>

namespace {

// In pieces, letting events run in between: a big table takes a while to read.
UcsRead ReadInPieces(const QString &path, QStringList &lines) {
    return ReadUcsFile(path, lines, [] { Feedback::PumpEvents(); });
}

} // namespace

UcsList::UcsList(const Parts &parts)
    : QObject(parts.window), ReadFile(ReadInPieces), m_window(parts.window), m_list(parts.CBUCS),
      m_lines(parts.stringTableLines), m_context(parts.context), m_dialogs(parts.dialogs),
      m_feedback(parts.feedback), m_findReplace(parts.findReplace), m_openDialog(parts.ODUCS) {}

void UcsList::AddEntry(QComboBox *list, const QString &path) {
    list->addItem(path.toUpper(), path);
}

QString UcsList::EntryPath(const QComboBox *list, int index) {
    const QVariant path = list->itemData(index, Qt::UserRole);
    return path.isValid() ? path.toString() : list->itemText(index);
}

void UcsList::ReloadStringTables() {
    if (m_reloading)
        return;
    const QScopedValueRollback<bool> reloading(m_reloading, true);
    m_list->setCurrentIndex(-1);
    QString hint = QStringLiteral("UCS files list:");
    m_list->setToolTip(hint);
    m_lines.clear();
    if (m_list->count() == 0)
        return;
    // Built aside and put in place at the end: a lookup while events run finds no table yet.
    QStringList lines;
    for (int i = 0; i < m_list->count();) {
        const QString path = EntryPath(m_list, i);
        const QString listed = m_list->itemText(i);
        switch (ReadFile(path, lines)) {
        case UcsRead::Done:
            break;
        case UcsRead::Missing:
            m_list->removeItem(i);
            continue;
        case UcsRead::TooLarge:
            m_dialogs.ShowError(UcsTooLargeMessage(listed));
            m_list->removeItem(i);
            continue;
        case UcsRead::Failed:
            m_dialogs.ShowError(QStringLiteral("Unable to load: %1").arg(listed));
            m_list->removeItem(i);
            continue;
        }
        hint += QStringLiteral("\r\n") + listed;
        ++i;
    }
    m_lines = lines;
    m_list->setToolTip(hint);
    if (m_list->count() > 0)
        m_list->setCurrentIndex(0);
    if (m_window->isActiveWindow())
        m_list->showPopup();
}

void UcsList::TBAddUCSClick() {
    if (m_reloading)
        return; // the list is being loaded
    if (m_list->count() > 0) {
        const int selected = m_list->currentIndex();
        m_openDialog.directory = selected >= 0 ? ExtractFilePath(EntryPath(m_list, selected)) : QString();
    }
    QStringList chosen;
    if (!m_dialogs.OpenFiles(m_openDialog, chosen))
        return;
    for (const QString &path : chosen) {
        bool listed = false;
        for (int i = 0; i < m_list->count() && !listed; ++i)
            listed = EntryPath(m_list, i).compare(path, Qt::CaseInsensitive) == 0;
        if (listed)
            m_dialogs.ShowInfo(QStringLiteral("%1 is already loaded!").arg(path));
        else
            AddEntry(m_list, path);
    }
    ReloadStringTables();
    m_list->update();
}

void UcsList::TBRemoveUCSClick() {
    const int selected = m_list->currentIndex();
    if (selected < 0 || m_reloading)
        return;
    m_feedback.AnchorHintAtMouse();
    m_list->removeItem(selected);
    ReloadStringTables();
    m_list->update();
    m_feedback.ShowHintPopup(QStringLiteral("UCS file is removed"), true, 3);
}

void UcsList::LookupSelectedNumber() {
    const QPointer<PageEditor> editor = m_context.CurrentEditor;
    if (!editor)
        return;
    if (editor->selectionLength() == 0) {
        m_feedback.ShowHintPopup(QString(), true, 0);
        return;
    }
    QString number = editor->selectedText8();
    if (!IsAllDigits(number))
        return;
    if (m_lines.isEmpty() || m_findReplace.FindRunning)
        return;
    m_feedback.AnchorHintAtMouse();
    m_feedback.HintAnchor.ry() += 16;
    m_feedback.ShowHintPopup(QStringLiteral("Wait..."), false, 0);
    // A plain scan in list order, the first match wins. The lines are held by value: a reload
    // that runs while events are let through replaces the window's list, not this one.
    const QStringList lines = m_lines;
    // The key is the text before the first TAB: a number without a TAB equals the key of a line
    // exactly when the line begins with it and has a TAB right after it.
    bool canMatch = true;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        const qsizetype length = number.size();
        if (canMatch && line.size() > length && line[length] == QLatin1Char('\t') &&
            QStringView(line).left(length) == number) {
            m_feedback.ShowHintPopup(line.mid(length + 1), true, 0);
            return;
        }
        Feedback::PumpEvery100(static_cast<int>(n));
        if (n % 100 == 0) {
            // The selection may have moved while events ran: compare with the one of the moment.
            if (!editor) {
                m_feedback.ShowHintPopup(QString(), true, 0);
                return;
            }
            number = editor->selectedText8();
            canMatch = !number.contains(QLatin1Char('\t'));
        }
    }
    m_feedback.ShowHintPopup(QStringLiteral("No match!"), true, 3);
}
