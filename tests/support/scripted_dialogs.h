#pragma once
// A Dialogs double for window tests: records every question and answers from a script.

#include "ui/dialogs.h"

#include <QList>
#include <QQueue>
#include <QVariant>
#include <functional>

struct DialogCall {
    QString kind; // "error", "warning", "info", "yesno", "input", "choose", "openfile", "openfiles", "font"
    QString text; // message text, or the prompt / title
    // An error's details, and the question of an error that offers to go somewhere.
    QString details;
    QString question;
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers, consumed in order by the calls of their kind; defaults when the queue is empty:
    // No, cancel.
    QQueue<bool> yesNo;
    QQueue<QVariant> inputs;   // QString answer, or an invalid QVariant to cancel
    QQueue<int> choices;       // the position chosen from a list; -1 cancels
    QQueue<QStringList> files; // chosen paths; an empty list cancels
    QQueue<QVariant> fonts;    // QFont answer, or an invalid QVariant to cancel
    QQueue<bool> goThere;      // answers to errors that offer to go somewhere
    // Runs inside a message box call, e.g. to check state while the box "is open".
    std::function<void(const DialogCall &)> onCall;

    QList<DialogCall> calls;

    void ShowError(const QString &text) override;
    void ShowWarning(const QString &text) override;
    void ShowInfo(const QString &text) override;
    // Both are recorded as "error" calls with their details (and question).
    void ShowErrorDetails(const QString &text, const QString &details) override;
    bool AskErrorGoThere(const QString &text, const QString &details, const QString &question) override;
    bool AskYesNo(const QString &text) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override;
    // Recorded as a "choose" call: the prompt, then the items, each on a line of its own.
    bool ChooseItem(const QString &caption, const QString &prompt, const QStringList &items,
                    int &index) override;
    bool OpenFile(const FileDialogSpec &request, QString &path) override;
    bool OpenFiles(const FileDialogSpec &request, QStringList &paths) override;
    bool ChooseFont(QFont &font) override;

    // The texts of the calls of one kind, in order.
    QStringList texts(const QString &kind) const;
    void clear() { calls.clear(); }
    QList<FileDialogSpec> fileSpecs;

private:
    void record(const QString &kind, const QString &text, const QString &details = QString(),
                const QString &question = QString());
};
