#include "tree/node_key.h"

#include "tree/line_grammar.h"

bool KeyEqualsNodeText(const QString &key, const QString &nodeText) {
    return key.compare(nodeText, Qt::CaseInsensitive) == 0;
}

int NodeKeyColumn(const QString &line, const QString &nodeText) {
    const QString key = SplitKeyValue(line).key;
    // An empty key is found nowhere, as an empty search text finds nothing.
    if (key.isEmpty() || !KeyEqualsNodeText(key, nodeText))
        return -1;
    return static_cast<int>(line.indexOf(key));
}

int ValueColumn(const QString &line, const QString &oldValue) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1;
    if (!oldValue.isEmpty())
        return static_cast<int>(line.indexOf(oldValue, colon));
    const qsizetype quotes = line.indexOf(QStringLiteral("\"\""), colon);
    return quotes < 0 ? -1 : static_cast<int>(quotes + 1);
}
