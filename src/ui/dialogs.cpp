#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

void ShowBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QFileDialog::Options OpenOptions() {
    return QFileDialog::ReadOnly;
}

} // namespace

QString QtFileFilter(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

void QtDialogs::ShowError(const QString &text) {
    ShowBox(m_parent, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtDialogs::ShowWarning(const QString &text) {
    ShowBox(m_parent, QMessageBox::Warning, QStringLiteral("Warning"), text);
}

void QtDialogs::ShowInfo(const QString &text) {
    ShowBox(m_parent, QMessageBox::Information, QStringLiteral("Information"), text);
}

bool QtDialogs::AskYesNo(const QString &text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setTextFormat(Qt::PlainText);
    // Yes is the default button, as in the platform's own Yes/No boxes.
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::InputQuery(const QString &caption, const QString &prompt, QString &value) {
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

bool QtDialogs::OpenFile(const FileDialogSpec &request, QString &path) {
    const QString chosen = QFileDialog::getOpenFileName(m_parent, request.title, request.directory,
                                                        QtFileFilter(request.filter), nullptr, OpenOptions());
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

bool QtDialogs::OpenFiles(const FileDialogSpec &request, QStringList &paths) {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        m_parent, request.title, request.directory, QtFileFilter(request.filter), nullptr, OpenOptions());
    if (chosen.isEmpty())
        return false;
    paths = chosen;
    return true;
}

bool QtDialogs::ChooseFont(QFont &font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_parent);
    if (ok)
        font = chosen;
    return ok;
}
