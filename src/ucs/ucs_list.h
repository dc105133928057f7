#pragma once
// The UCS string tables on the window side: the list CBUCS of UCS files, the
// add and remove commands, loading every listed file into StringTableLines,
// and the lookup of a number selected in the editor.
//
// CBUCS shows each path in upper case and compares paths without regard to
// case, while the path as it was chosen stays with the entry (item data
// Qt::UserRole) for opening the file and for the settings file: on a file
// system with case-sensitive names the upper-case text names no file.

#include "ucs/ucs_file.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class Dialogs;
class Feedback;
struct FileDialogSpec;
class FindReplace;
class QComboBox;
class QWidget;
struct PageContext;

class UcsList : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget *window;
        QComboBox *CBUCS;
        QStringList &stringTableLines;
        FileDialogSpec &ODUCS; // the open dialog, its starting folder included
        PageContext &context;
        Dialogs &dialogs;
        Feedback &feedback;
        const FindReplace &findReplace;
    };
    explicit UcsList(const Parts &parts);

    // Loads every listed file into StringTableLines; drops the files that cannot be loaded.
    void ReloadStringTables();
    void TBAddUCSClick();
    void TBRemoveUCSClick();
    // The second half of the caret synchronisation: shows the string of a selected number.
    void LookupSelectedNumber();

    // The list's entries: appended as the path was chosen, shown in upper case.
    static void AddEntry(QComboBox *list, const QString &path);
    static QString EntryPath(const QComboBox *list, int index);

    // Appends the lines of a UCS file (ReadUcsFile, letting events run between its pieces).
    // Replaceable, so that a failing read can be shown.
    std::function<UcsRead(const QString &path, QStringList &lines)> ReadFile;

private:
    QWidget *m_window;
    QComboBox *m_list;
    QStringList &m_lines;
    PageContext &m_context;
    Dialogs &m_dialogs;
    Feedback &m_feedback;
    const FindReplace &m_findReplace;
    FileDialogSpec &m_openDialog;
    // A reload lets events run between pieces of a big file: the list must not change meanwhile.
    bool m_reloading = false;
};
