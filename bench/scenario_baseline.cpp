#include "scenario_baseline.h"

#include "document/page_icons.h"
#include "platform/cp1252.h"
#include "scenario_figures.h"
#include "tree/line_grammar.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>

namespace {

// The page's nesting rule over stock items: depth 1 is top level, a deeper line goes one level
// down from the current item (into its last child), a shallower one climbs one level.
int FillTree(QTreeWidget *tree, const QStringList &lines) {
    const QIcon table = TreeImageIcon(0);
    const QIcon value = TreeImageIcon(3);
    QTreeWidgetItem *current = nullptr;
    int previousDepth = 0;
    int items = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const int depth = LineDepth(line);
        if (depth == 0)
            continue;
        if (depth == 1)
            current = nullptr;
        else if (depth > previousDepth && current && current->childCount() > 0)
            current = current->child(current->childCount() - 1);
        else if (depth < previousDepth && current)
            current = current->parent();
        previousDepth = depth;
        const QString key = LineKey(line);
        QTreeWidgetItem *added = nullptr;
        if (!key.isEmpty()) {
            added = current ? new QTreeWidgetItem(current, QStringList{key})
                            : new QTreeWidgetItem(tree, QStringList{key});
            added->setData(0, Qt::UserRole, i);
            added->setIcon(0, IsValueLine(line) ? value : table);
            ++items;
        }
        if (!current)
            current = added;
    }
    return items;
}

} // namespace

double OpenWithStockWidgets(const QString &textPath, QSize windowSize, int &items) {
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    auto *splitter = new QSplitter(&window);
    auto *tree = new QTreeWidget(splitter);
    tree->setHeaderHidden(true);
    tree->setUniformRowHeights(true);
    auto *editor = new QPlainTextEdit(splitter);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    splitter->setSizes({300, windowSize.width() - 300});
    layout->addWidget(splitter);
    window.resize(windowSize);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        PrintNote(QStringLiteral("the comparison window was not exposed"));
    QCoreApplication::processEvents();

    const Stopwatch clock;
    QFile file(textPath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = DecodeCp1252(file.readAll());
    editor->setPlainText(text);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    items = FillTree(tree, lines);
    if (QTreeWidgetItem *first = tree->topLevelItem(0)) {
        tree->setCurrentItem(first);
        const int lineIndex = first->data(0, Qt::UserRole).toInt();
        QTextCursor cursor(editor->document()->findBlockByNumber(lineIndex));
        const int column = static_cast<int>(lines.at(lineIndex).indexOf(first->text(0)));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, qMax(0, column));
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor,
                            static_cast<int>(first->text(0).size()));
        editor->setTextCursor(cursor);
        editor->ensureCursorVisible();
    }
    QCoreApplication::processEvents();
    window.repaint();
    return clock.ms();
}
