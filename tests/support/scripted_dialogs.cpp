#include "support/scripted_dialogs.h"

#include <QVariant>

void ScriptedDialogs::record(const QString &kind, const QString &text, const QString &details,
                             const QString &question) {
    calls.append(DialogCall{kind, text, details, question});
    if (onCall)
        onCall(calls.last());
}

void ScriptedDialogs::ShowError(const QString &text) {
    record(QStringLiteral("error"), text);
}
void ScriptedDialogs::ShowWarning(const QString &text) {
    record(QStringLiteral("warning"), text);
}
void ScriptedDialogs::ShowInfo(const QString &text) {
    record(QStringLiteral("info"), text);
}

void ScriptedDialogs::ShowErrorDetails(const QString &text, const QString &details) {
    record(QStringLiteral("error"), text, details);
}

bool ScriptedDialogs::AskErrorGoThere(const QString &text, const QString &details, const QString &question) {
    record(QStringLiteral("error"), text, details, question);
    return goThere.isEmpty() ? false : goThere.dequeue();
}

bool ScriptedDialogs::AskYesNo(const QString &text) {
    record(QStringLiteral("yesno"), text);
    return yesNo.isEmpty() ? false : yesNo.dequeue();
}

bool ScriptedDialogs::InputQuery(const QString &caption, const QString &prompt, QString &value) {
    record(QStringLiteral("input"), caption + QLatin1Char('|') + prompt + QLatin1Char('|') + value);
    if (inputs.isEmpty())
        return false;
    const QVariant answer = inputs.dequeue();
    if (!answer.isValid())
        return false;
    value = answer.toString();
    return true;
}

bool ScriptedDialogs::ChooseItem(const QString &, const QString &prompt, const QStringList &items,
                                 int &index) {
    record(QStringLiteral("choose"), (QStringList{prompt} + items).join(QLatin1Char('\n')));
    const int answer = choices.isEmpty() ? -1 : choices.dequeue();
    if (answer < 0 || answer >= items.size())
        return false;
    index = answer;
    return true;
}

bool ScriptedDialogs::OpenFile(const FileDialogSpec &request, QString &path) {
    fileSpecs.append(request);
    record(QStringLiteral("openfile"), request.title);
    if (files.isEmpty())
        return false;
    const QStringList answer = files.dequeue();
    if (answer.isEmpty())
        return false;
    path = answer.first();
    return true;
}

bool ScriptedDialogs::OpenFiles(const FileDialogSpec &request, QStringList &paths) {
    fileSpecs.append(request);
    record(QStringLiteral("openfiles"), request.title);
    if (files.isEmpty())
        return false;
    const QStringList answer = files.dequeue();
    if (answer.isEmpty())
        return false;
    paths = answer;
    return true;
}

bool ScriptedDialogs::ChooseFont(QFont &font) {
    record(QStringLiteral("font"), font.family());
    if (fonts.isEmpty())
        return false;
    const QVariant answer = fonts.dequeue();
    if (!answer.isValid())
        return false;
    font = answer.value<QFont>();
    return true;
}

QStringList ScriptedDialogs::texts(const QString &kind) const {
    QStringList result;
    for (const DialogCall &call : calls) {
        if (call.kind == kind)
            result << call.text;
    }
    return result;
}
