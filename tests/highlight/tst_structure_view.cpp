// Pages opened through the documents show their structure: each token kind in a colour of its
// own (on the screen too), folds that Find and the tree open again, line numbers, and the View
// toggles of the editor menu. Only what is shown is styled.

#include "document/document_fixture.h"

#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "highlight/line_tokens.h"
#include "highlight/structure_view.h"
#include "highlight/view_options.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QAction>
#include <QImage>
#include <QTabWidget>
#include <QTest>

namespace {

using Sci = QsciScintillaBase;

long Send(PageEditor *e, unsigned int message, unsigned long w = 0, long l = 0) {
    return e->SendScintilla(message, w, l);
}

// The sample text and then plain members until the text has lines lines.
QByteArray LongText(int lines) {
    QByteArray text = SampleText();
    text.chop(3);
    for (int i = 14; i < lines - 1; ++i)
        text += "| fill" + QByteArray::number(i) + ": " + QByteArray::number(i) + ";\r\n";
    return text + "}\r\n";
}

int StyleAt(PageEditor *e, int line, int column) {
    return static_cast<int>(
        Send(e, Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(e->lineStartByte(line) + column)));
}

bool LineShown(PageEditor *e, int line) {
    return Send(e, Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0;
}

QColor StyleColour(PageEditor *e, TokenKind kind) {
    const long c = Send(e, Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(kind));
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

int Distance(const QColor &a, const QColor &b) {
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    }
}

} // namespace

class TestStructureView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachTokenKindHasItsStyleAndColour();
    void theScreenShowsADifferentColourPerTokenKind();
    void onlyShownLinesAreStyledAtOpen();
    void aViewMovedToUnstyledLinesIsPaintedOnce();
    void aCaretMoveRepaintsItsLinesButNoMargin();
    void foldedLinesAreShownByFindAndByTheTree();
    void aClickInTheFoldMarginFoldsATable();
    void bracesAreMatchedNearByAndNeverSoughtThroughTheWholeText();
    void togglesReachEveryPageAndLaterOnes();
};

void TestStructureView::eachTokenKindHasItsStyleAndColour() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageEditor *e = f.editor(0);
    e->repaint();
    // "| | label: \"Main gate\";" and friends, as the sample text holds them.
    QCOMPARE(StyleAt(e, 0, 0), int(TokenKind::Plain));
    QCOMPARE(StyleAt(e, 3, 0), int(TokenKind::Marker));
    QCOMPARE(StyleAt(e, 3, 4), int(TokenKind::Key));
    QCOMPARE(StyleAt(e, 3, 9), int(TokenKind::Colon));
    QCOMPARE(StyleAt(e, 3, 11), int(TokenKind::Number));
    QCOMPARE(StyleAt(e, 4, 11), int(TokenKind::String));
    QCOMPARE(StyleAt(e, 2, 9), int(TokenKind::Brace));
    QCOMPARE(StyleAt(e, 13, 0), int(TokenKind::Plain)); // the outer brace has no marker
    QSet<QRgb> colours;
    for (int kind = 0; kind < TokenKindCount; ++kind)
        colours.insert(StyleColour(e, TokenKind(kind)).rgb());
    QCOMPARE(colours.size(), TokenKindCount);
    QCOMPARE(StyleColour(e, TokenKind::Plain), e->palette().color(QPalette::Text));

    // A new editor font reaches every style, and the colours stay.
    const QColor key = StyleColour(e, TokenKind::Key);
    QFont font = f.window().PC->font();
    font.setPointSize(font.pointSize() + 5);
    f.window().PC->setFont(font);
    Settle();
    for (int kind = 0; kind < TokenKindCount; ++kind) {
        QCOMPARE(Send(e, Sci::SCI_STYLEGETSIZE, static_cast<unsigned long>(kind)), long(font.pointSize()));
        QByteArray family(256, '\0');
        e->SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(kind), family.data());
        QCOMPARE(QString::fromUtf8(family.constData()), font.family());
    }
    QCOMPARE(StyleColour(e, TokenKind::Key), key);
}

void TestStructureView::theScreenShowsADifferentColourPerTokenKind() {
    DocumentFixture f;
    // One line per kind, away from the caret's line (which has a background of its own).
    f.open(f.writeRbf(QStringLiteral("unit"),
                      "unit\r\n{\r\n| alpha: {\r\n| | speed: 2.5;\r\n"
                      "| | label: \"Main gate\";\r\n| | flag: true;\r\n| }\r\n}\r\n"));
    PageEditor *e = f.editor(0);
    e->setCaret(0, 0);
    e->repaint();
    Settle();
    const QImage shot = e->viewport()->grab().toImage();
    const QColor base = e->palette().color(QPalette::Base);
    struct Sample {
        TokenKind kind;
        int line, from, to; // columns
    };
    const Sample samples[] = {
        {TokenKind::Marker, 3, 0, 1},   {TokenKind::Key, 3, 4, 9},      {TokenKind::Colon, 3, 9, 10},
        {TokenKind::Number, 3, 11, 14}, {TokenKind::String, 4, 12, 20}, {TokenKind::Boolean, 5, 10, 14},
        {TokenKind::Brace, 2, 9, 10},   {TokenKind::Plain, 0, 0, 4},
    };
    QHash<int, QColor> ink;
    for (const Sample &s : samples) {
        const long start = e->lineStartByte(s.line);
        const int x0 = int(Send(e, Sci::SCI_POINTXFROMPOSITION, 0, start + s.from));
        const int x1 = int(Send(e, Sci::SCI_POINTXFROMPOSITION, 0, start + s.to));
        const int y0 = int(Send(e, Sci::SCI_POINTYFROMPOSITION, 0, start));
        const int h = int(Send(e, Sci::SCI_TEXTHEIGHT, static_cast<unsigned long>(s.line)));
        QVERIFY2(x1 > x0 && h > 0 && y0 + h <= shot.height(), qPrintable(QString::number(s.line)));
        // The pixel furthest from the background is the token's ink.
        QColor best = base;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x1; ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (Distance(c, base) > Distance(best, base))
                    best = c;
            }
        QVERIFY2(Distance(best, base) > 30,
                 qPrintable(QStringLiteral("no ink for kind %1").arg(int(s.kind))));
        ink.insert(int(s.kind), best);
    }
    // Each kind's ink is nearest to its own style colour, so no two kinds look alike.
    for (auto it = ink.begin(); it != ink.end(); ++it) {
        const int own = Distance(it.value(), StyleColour(e, TokenKind(it.key())));
        for (int other = 0; other < TokenKindCount; ++other) {
            if (other != it.key())
                QVERIFY2(own < Distance(it.value(), StyleColour(e, TokenKind(other))),
                         qPrintable(QStringLiteral("kind %1 looks like kind %2").arg(it.key()).arg(other)));
        }
    }
}

void TestStructureView::onlyShownLinesAreStyledAtOpen() {
    DocumentFixture f;
    const int lines = 30000;
    f.open(f.writeRbf(QStringLiteral("unit"), LongText(lines)));
    PageEditor *e = f.editor(0);
    e->repaint();
    Settle();
    QCOMPARE(StyleAt(e, 3, 4), int(TokenKind::Key));
    QCOMPARE(Send(e, Sci::SCI_GETFOLDLEVEL, 2),
             long(Sci::SC_FOLDLEVELBASE + 1) | Sci::SC_FOLDLEVELHEADERFLAG);
    // Neither styles nor fold levels were worked out for the lines not shown.
    const int middle = lines / 2;
    QCOMPARE(StyleAt(e, middle, 2), int(TokenKind::Plain));
    QCOMPARE(Send(e, Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(middle)), long(Sci::SC_FOLDLEVELBASE));
    // The node of that line selected from the tree: its lines are styled as they show, those
    // before it still are not.
    PageTree *tree = f.tree(0);
    int node = 0;
    while (tree->structure().info(node).LineIndex != middle)
        ++node;
    tree->selectNode(node);
    e->repaint();
    Settle();
    QCOMPARE(e->caretLine(), middle);
    QCOMPARE(StyleAt(e, middle, 2), int(TokenKind::Key));
    QCOMPARE(Send(e, Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(middle)),
             long(Sci::SC_FOLDLEVELBASE + 1));
    QCOMPARE(StyleAt(e, middle - 1000, 2), int(TokenKind::Plain));
    // Brought into view, they are styled too.
    e->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(middle - 1000));
    e->repaint();
    Settle();
    QCOMPARE(StyleAt(e, middle - 1000, 2), int(TokenKind::Key));
    QCOMPARE(Send(e, Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(middle - 1000)),
             long(Sci::SC_FOLDLEVELBASE + 1));
    // Fold All works on every line, shown or not: the sample's tables fold.
    f.window().action(QStringLiteral("PMFoldAll"))->trigger();
    QVERIFY(!LineShown(e, 3));
    QCOMPARE(Send(e, Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(middle - 500)),
             long(Sci::SC_FOLDLEVELBASE + 1));
}

// Lines styled while the editor paints make the widget ask for a second paint of its whole view;
// the lines a move brings into view are styled before the window paints instead. Both kinds:
// lines that a jump passed over (above the view) and lines never reached (below it).
void TestStructureView::aViewMovedToUnstyledLinesIsPaintedOnce() {
    DocumentFixture f;
    const int lines = 30000;
    f.open(f.writeRbf(QStringLiteral("unit"), LongText(lines)));
    PageEditor *e = f.editor(0);
    Settle();
    const int middle = lines / 2;
    PageTree *tree = f.tree(0);
    int node = 0;
    while (tree->structure().info(node).LineIndex != middle)
        ++node;
    tree->selectNode(node);
    Settle();
    QCOMPARE(StyleAt(e, middle - 60, 2), int(TokenKind::Plain));

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    e->viewport()->installEventFilter(&counter);
    for (const int top : {middle - 60, middle + 5000}) {
        counter.paints = 0;
        Send(e, Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(top));
        Settle();
        QCOMPARE(StyleAt(e, top + 1, 2), int(TokenKind::Key));
        QCOMPARE(counter.paints, 1);
    }
    e->viewport()->removeEventFilter(&counter);
}

// Line numbers and fold boxes stay as they are when the caret moves to the next line: repainting
// them was a tenth of the cost of a caret move.
void TestStructureView::aCaretMoveRepaintsItsLinesButNoMargin() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit"), LongText(200)));
    PageEditor *e = f.editor(0);
    e->setFocus();
    e->setCaret(0, 20);
    Settle();
    const long textStart = Send(e, Sci::SCI_POINTXFROMPOSITION, 0UL, e->lineStartByte(20));
    QVERIFY(textStart > 20); // line numbers and fold boxes are shown

    struct PaintedArea : QObject {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } area;
    e->viewport()->installEventFilter(&area);
    for (int move = 0; move < 3; ++move) {
        QTest::keyClick(e, Qt::Key_Down);
        Settle();
    }
    e->viewport()->removeEventFilter(&area);
    QCOMPARE(e->caretLine(), 23);
    QVERIFY(!area.painted.isEmpty());
    QCOMPARE(area.painted.boundingRect().left(), int(textStart));
}

void TestStructureView::foldedLinesAreShownByFindAndByTheTree() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit"), LongText(400)));
    PageEditor *e = f.editor(0);
    e->repaint();
    TFormMain &w = f.window();
    w.action(QStringLiteral("PMFoldAll"))->trigger();
    // Both tables of the sample fold to their first lines, the closing lines with them.
    QVERIFY(LineShown(e, 2));
    for (int line = 3; line <= 9; ++line)
        QVERIFY2(!LineShown(e, line), qPrintable(QString::number(line)));
    QVERIFY(LineShown(e, 10));
    QVERIFY(LineShown(e, 11));
    QVERIFY(!LineShown(e, 12));

    // Find selects "deep" inside two folds: both open.
    e->setCaret(0, 0);
    w.findReplace().FindD->setFindText(QStringLiteral("deep"));
    w.findReplace().FindDFind();
    QCOMPARE(e->caretLine(), 7);
    QCOMPARE(e->selectedText8(), QStringLiteral("deep"));
    QVERIFY(LineShown(e, 7));
    QVERIFY(f.dialogs().calls.isEmpty());

    // The tree selects the node of a folded line: it shows.
    w.action(QStringLiteral("PMFoldAll"))->trigger();
    QVERIFY(!LineShown(e, 4));
    f.tree(0)->selectNode(2); // label, line 4
    QCOMPARE(e->caretLine(), 4);
    QVERIFY(LineShown(e, 4));
    QCOMPARE(e->selectedText8(), QStringLiteral("label"));
    // Fold All leaves the text as it was.
    QVERIFY(!e->isModified());
    QCOMPARE(e->bytes8(), LongText(400));

    w.action(QStringLiteral("PMUnfoldAll"))->trigger();
    for (int line = 0; line < 400; ++line)
        QVERIFY(LineShown(e, line));
}

void TestStructureView::aClickInTheFoldMarginFoldsATable() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageEditor *e = f.editor(0);
    e->repaint();
    Settle();
    int x = 0;
    for (int margin = 0; margin < StructureView::FoldMargin; ++margin)
        x += int(Send(e, Sci::SCI_GETMARGINWIDTHN, static_cast<unsigned long>(margin)));
    const int width = int(Send(e, Sci::SCI_GETMARGINWIDTHN, StructureView::FoldMargin));
    QVERIFY(width > 0);
    const long start = e->lineStartByte(6); // "| | inner: {"
    const QPoint at(x + width / 2, int(Send(e, Sci::SCI_POINTYFROMPOSITION, 0, start)) + 2);
    QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(LineShown(e, 6));
    QVERIFY(!LineShown(e, 7));
    QVERIFY(!LineShown(e, 8));
    QVERIFY(LineShown(e, 9));
    QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(LineShown(e, 7));
    QVERIFY(LineShown(e, 8));
}

void TestStructureView::togglesReachEveryPageAndLaterOnes() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    f.open(f.writeRbf(QStringLiteral("other")));
    TFormMain &w = f.window();
    QCOMPARE(f.pageCount(), 2);
    for (int page = 0; page < 2; ++page) {
        PageEditor *e = f.editor(page);
        QVERIFY(Send(e, Sci::SCI_GETMARGINWIDTHN, StructureView::NumberMargin) > 0);
        QVERIFY(Send(e, Sci::SCI_GETMARGINWIDTHN, StructureView::FoldMargin) > 0);
    }
    PageEditor *first = f.editor(0);
    w.PC->setCurrentIndex(0);
    SelectPageContext(w.context(), w.PC, 0);
    w.action(QStringLiteral("PMFoldAll"))->trigger();
    QVERIFY(!LineShown(first, 3));

    w.action(QStringLiteral("PMHighlight"))->trigger();
    w.action(QStringLiteral("PMLineNumbers"))->trigger();
    w.action(QStringLiteral("PMFolding"))->trigger();
    f.open(f.writeRbf(QStringLiteral("later")));
    QCOMPARE(f.pageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        PageEditor *e = f.editor(page);
        w.PC->setCurrentIndex(page);
        e->repaint();
        Settle();
        QCOMPARE(StyleAt(e, 3, 4), int(TokenKind::Plain));
        QCOMPARE(Send(e, Sci::SCI_GETMARGINWIDTHN, StructureView::NumberMargin), 0L);
        QCOMPARE(Send(e, Sci::SCI_GETMARGINWIDTHN, StructureView::FoldMargin), 0L);
    }
    // Without a fold margin nothing stays hidden.
    QVERIFY(LineShown(first, 3));

    w.action(QStringLiteral("PMHighlight"))->trigger();
    w.PC->setCurrentIndex(0);
    first->repaint();
    Settle();
    QCOMPARE(StyleAt(first, 3, 4), int(TokenKind::Key));
    const ViewSettings view = w.viewOptions().settings();
    QVERIFY(view.Highlight && !view.Folding && !view.LineNumbers);
}

QTEST_MAIN(TestStructureView)
#include "tst_structure_view.moc"

// The partner of a brace at the caret is lit; braces in strings do not count; a partner thousands of
// lines away is not sought (a table as long as the text would be walked at every caret move):
// the brace is lit alone; a brace that the text leaves open is bad.
void TestStructureView::bracesAreMatchedNearByAndNeverSoughtThroughTheWholeText() {
    QByteArray text = "unit\r\n{\r\n| alpha: {\r\n| | inner: {\r\n| | | label: \"a{b\";\r\n| | }\r\n";
    for (int i = 0; i < 3000; ++i)
        text += "| | fill" + QByteArray::number(i) + ": 1;\r\n";
    text += "| }\r\n| beta: {\r\n}\r\n";
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit"), text));
    PageEditor *e = f.editor(0);
    auto *view = e->findChild<StructureView *>();
    QVERIFY(view);
    const auto litAfter = [&](int line, int column) {
        e->setCaret(column, line);
        Settle();
        return view->litBraces();
    };
    StructureView::LitBraces lit = litAfter(3, 12); // after "| | inner: {"
    QCOMPARE(lit.at, e->lineStartByte(3) + 11);
    QCOMPARE(lit.partner, e->lineStartByte(5) + 4);
    QVERIFY(!lit.bad);
    lit = litAfter(5, 4); // before the "}" that closes inner: back to its "{"
    QCOMPARE(lit.at, e->lineStartByte(5) + 4);
    QCOMPARE(lit.partner, e->lineStartByte(3) + 11);
    QCOMPARE(litAfter(4, 16).at, -1L); // after the "{" inside the string
    lit = litAfter(2, 10);             // alpha closes 3,004 lines further down
    QCOMPARE(lit.at, e->lineStartByte(2) + 9);
    QCOMPARE(lit.partner, -1L);
    QVERIFY(!lit.bad);
    lit = litAfter(3007, 9); // beta is never closed
    QCOMPARE(lit.at, e->lineStartByte(3007) + 8);
    QVERIFY(lit.bad);
}
