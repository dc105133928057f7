#pragma once
// The comparison for the open figure: the same text opened the way an ordinary
// Qt program would, with stock widgets.

#include <QSize>
#include <QString>

// Reads the text file into a QPlainTextEdit and fills a QTreeWidget beside it
// with one item per key, item by item (same grammar and nesting rule as the
// page's tree), selects the first item and moves the editor to its line, and
// paints the window. Returns the milliseconds from the start of the read to the
// painted window, and the number of tree items in items.
double OpenWithStockWidgets(const QString &textPath, QSize windowSize, int &items);
