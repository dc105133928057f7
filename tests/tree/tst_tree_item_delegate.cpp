// The tree draws an unselected node's text from a prepared layout instead of letting the style lay
// it out each time: the rows must look exactly as the style draws them, elided ones included.

#include "tree/page_tree.h"
#include "tree/structure_tree.h"
#include "tree/structure_tree_model.h"
#include "tree/tree_item_delegate.h"

#include <QImage>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTest>

class TestTreeItemDelegate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unselectedRowsLookAsTheStyleDrawsThem();
};

namespace {

QImage Draw(const QAbstractItemDelegate &delegate, const QStyleOptionViewItem &option,
            const QModelIndex &index) {
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-option.rect.topLeft());
    delegate.paint(&painter, option, index);
    return image;
}

} // namespace

void TestTreeItemDelegate::unselectedRowsLookAsTheStyleDrawsThem() {
    PageTree tree;
    tree.resize(220, 300);
    tree.treeModel()->setTree(BuildStructureTree(
        {QStringLiteral("unit"), QStringLiteral("| alpha: {"), QStringLiteral("| | speed: 2.5;"),
         QStringLiteral("| }"), QStringLiteral("| Wj_gy: 7;"),
         QStringLiteral("| a_key_much_longer_than_the_column_is_wide_so_that_it_is_cut: 1;"),
         QStringLiteral("| \u00e4\u00f6\u00fc\u00df: 2;")}));
    tree.expandAll();
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QStyledItemDelegate reference;
    int compared = 0;
    for (int node = 0; node < tree.structure().nodeCount(); ++node) {
        const QModelIndex index = tree.indexOfNode(node);
        QStyleOptionViewItem option;
        option.initFrom(tree.viewport());
        option.widget = &tree;
        option.rect = tree.visualRect(index);
        option.state |= QStyle::State_Enabled | QStyle::State_Active;
        option.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver);
        option.decorationSize = tree.iconSize().isValid() ? tree.iconSize() : QSize(16, 16);
        // Twice: the second draw comes from the prepared text; then under the mouse, then with
        // the focus (the style draws a box behind the text for each).
        for (int pass = 0; pass < 4; ++pass) {
            option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
            if (pass == 2)
                option.state |= QStyle::State_MouseOver;
            if (pass == 3)
                option.state |= QStyle::State_HasFocus;
            // The places of text and image are kept per text: a narrower column must not draw
            // them where the wider one had them.
            for (const int width : {160, 60}) {
                option.rect.setWidth(width);
                const QImage ours = Draw(*tree.itemDelegate(), option, index);
                const QImage style = Draw(reference, option, index);
                QVERIFY2(ours == style, qPrintable(QStringLiteral("node %1 (%2), pass %3, width %4")
                                                       .arg(node)
                                                       .arg(tree.structure().text(node))
                                                       .arg(pass)
                                                       .arg(width)));
                ++compared;
            }
        }
    }
    QCOMPARE(compared, 8 * tree.structure().nodeCount());
}

QTEST_MAIN(TestTreeItemDelegate)
#include "tst_tree_item_delegate.moc"
