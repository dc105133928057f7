#include "document/unencodable_check.h"

#include "editor/page_editor.h"
#include "platform/cp1252.h"
#include "ui/dialogs.h"

#include <QString>

bool ConfirmUnencodableCharacters(PageEditor *editor, const QString &rbfPath, Dialogs &dialogs) {
    const QByteArrayView text = editor->utf8View();
    const UnencodableCharacter first = FindFirstUnencodableUtf8(text.data(), text.size());
    if (!first.found())
        return true;
    const char32_t shown[] = {first.character};
    const QString hex = QStringLiteral("%1").arg(static_cast<uint>(first.character), 4, 16, QLatin1Char('0'));
    const QString question =
        QStringLiteral("%1 holds characters that code page 1252 cannot hold, the first "
                       "\"%2\" (U+%3) on line %4. Save them as \"?\" ?")
            .arg(rbfPath, QString::fromUcs4(shown, 1), hex.toUpper(), QString::number(first.line + 1));
    // The answer box lets events run, and the text may change meanwhile: the caret goes to the
    // character where it is now.
    if (dialogs.AskYesNo(question))
        return true;
    const QByteArrayView now = editor->utf8View();
    const UnencodableCharacter still = FindFirstUnencodableUtf8(now.data(), now.size());
    if (still.found()) {
        editor->setSelectionStart(editor->charPosition(static_cast<long>(still.offset)));
        editor->scrollCaret();
    }
    return false;
}
