#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace {

void ShowBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The text below the message, plain: a converter's output may hold what looks like markup. (The
// box gives its informative text no format of its own; its label is found by Qt's object name.)
void SetPlainInformativeText(QMessageBox &box, const QString &text) {
    box.setInformativeText(text);
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
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

void QtDialogs::ShowErrorDetails(const QString &text, const QString &details) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    // Below the text, not behind a "Show Details" button: the converter's words are the point.
    SetPlainInformativeText(box, details);
    box.exec();
}

bool QtDialogs::AskErrorGoThere(const QString &text, const QString &details, const QString &question) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    SetPlainInformativeText(box, details.isEmpty() ? question : details + QStringLiteral("\n\n") + question);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
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

bool QtDialogs::ChooseItem(const QString &caption, const QString &prompt, const QStringList &items,
                           int &index) {
    bool ok = false;
    const QString answer = QInputDialog::getItem(m_parent, caption, prompt, items, 0, false, &ok);
    const qsizetype chosen = items.indexOf(answer);
    if (!ok || chosen < 0)
        return false;
    index = static_cast<int>(chosen);
    return true;
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

namespace {
// A style's slant: QFontDatabase::italic() is false for an oblique style.
bool IsSlanted(const QString &family, const QString &style) {
    return QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal;
}
} // namespace

QString FontStyleName(const QFont &font) {
    const QString family = QFontInfo(font).family();
    QString best;
    for (const QString &style : QFontDatabase::styles(family)) {
        if (IsSlanted(family, style) != font.italic() ||
            QFontDatabase::weight(family, style) != font.weight())
            continue;
        // Of equal styles ("Book" and "Condensed", say) the plainest: the shortest name.
        if (best.isEmpty() || style.size() < best.size() || (style.size() == best.size() && style < best))
            best = style;
    }
    return best;
}

bool QtDialogs::ChooseFont(QFont &font) {
    // The dialog picks its style by name and knows "Normal" and "Regular" only; for a family whose
    // plain style has another name ("Book") it would start on the first style listed, an oblique
    // one, say. So it is given the name of the font's own style.
    QFont start = font;
    start.setStyleName(FontStyleName(font));
    QFontDialog dialog(m_parent);
    dialog.setCurrentFont(start);
    const QFont shown = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    // Taken as it was shown: the current font stays exactly as it was (the dialog knows whole
    // point sizes only).
    if (chosen.family() == shown.family() && chosen.styleName() == shown.styleName() &&
        chosen.pointSize() == shown.pointSize() && chosen.underline() == shown.underline() &&
        chosen.strikeOut() == shown.strikeOut())
        return true;
    // A new choice: its style becomes weight and italic, which the settings file stores.
    QFont result = chosen;
    const QString family = chosen.family();
    const QString style = chosen.styleName();
    if (!style.isEmpty() && QFontDatabase::styles(family).contains(style)) {
        result.setWeight(static_cast<QFont::Weight>(QFontDatabase::weight(family, style)));
        result.setItalic(IsSlanted(family, style));
    }
    result.setStyleName(QString());
    font = result;
    return true;
}
