#include "editor/editor_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface *PageEditorAccessible(const QString &className, QObject *object) {
    // With a screen reader running, QScintilla's factory (asked next, for the base class) serves.
    if (className != QLatin1String("PageEditor") || !object || !object->isWidgetType() ||
        QAccessible::isActive())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
}

} // namespace

void InstallEditorAccessibleFactory() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(PageEditorAccessible);
}
