#include "ucs/ucs_list.h"

#include "app/feedback.h"
#include "converter/file_size.h"
#include "document/page_context.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "ucs/string_table.h"
#include "ui/dialogs.h"

#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QWidget>

namespace {

bool ReadWholeFile(const QString &path, QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

UcsList::UcsList(const Parts &parts)
    : QObject(parts.window), ReadFile(ReadWholeFile), m_window(parts.window), m_list(parts.CBUCS),
      m_lines(parts.stringTableLines), m_context(parts.context), m_dialogs(parts.dialogs),
      m_feedback(parts.feedback), m_findReplace(parts.findReplace), m_exeDir(parts.exeDir) {}

void UcsList::AddEntry(QComboBox *list, const QString &path) {
    list->addItem(path.toUpper(), path);
}

QString UcsList::EntryPath(const QComboBox *list, int index) {
    const QVariant path = list->itemData(index, Qt::UserRole);
    return path.isValid() ? path.toString() : list->itemText(index);
}

void UcsList::ReloadStringTables() {
    m_list->setCurrentIndex(-1);
    QString hint = QStringLiteral("UCS files list:");
    m_list->setToolTip(hint);
    m_lines.clear();
    if (m_list->count() == 0)
        return;
    for (int i = 0; i < m_list->count();) {
        const QString path = EntryPath(m_list, i);
        const QString listed = m_list->itemText(i);
        if (GetFileSizeOrZero(path) == 0) {
            m_list->removeItem(i);
            continue;
        }
        QByteArray bytes;
        if (!ReadFile(path, bytes)) {
            m_dialogs.ShowError(QStringLiteral("Unable to load: %1").arg(listed));
            m_list->removeItem(i);
            continue;
        }
        m_lines.append(DecodeUcsText(bytes));
        hint += QStringLiteral("\r\n") + listed;
        m_list->setToolTip(hint);
        ++i;
    }
    if (m_list->count() > 0)
        m_list->setCurrentIndex(0);
    if (m_window->isActiveWindow())
        m_list->showPopup();
}

void UcsList::TBAddUCSClick() {
    if (m_list->count() > 0) {
        const int selected = m_list->currentIndex();
        m_directory = selected >= 0 ? ExtractFilePath(EntryPath(m_list, selected)) : QString();
        m_directorySet = true;
    }
    QStringList chosen;
    if (!m_dialogs.OpenFiles(
            {QStringLiteral("Open UCS files"), QStringLiteral("UCS file|*.ucs"), ODUCSDirectory()}, chosen))
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
    if (selected < 0)
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
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab >= 0 && QStringView(line).left(tab) == number) {
            m_feedback.ShowHintPopup(line.mid(tab + 1), true, 0);
            return;
        }
        if (n % 100 == 0) {
            Feedback::PumpEvery100(static_cast<int>(n));
            // The selection may have moved while events ran: compare with the one of the moment.
            if (!editor) {
                m_feedback.ShowHintPopup(QString(), true, 0);
                return;
            }
            number = editor->selectedText8();
        }
    }
    m_feedback.ShowHintPopup(QStringLiteral("No match!"), true, 3);
}
