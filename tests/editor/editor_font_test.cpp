// The editor font from the settings file to the text the editors draw: size (stored as a pixel
// height), colour, bold and strike-out reach QScintilla's styles, as they reach trees and tabs.

#include "editor/test_pages.h"
#include "support/window_fixture.h"
#include "tree/page_tree.h"
#include "ui/windows_colour.h"

#include <QFontMetrics>
#include <QtTest>

namespace {

long Send(PageEditor *editor, unsigned int message, unsigned long wParam = 0, long lParam = 0) {
    return editor->SendScintilla(message, wParam, lParam);
}

// The size Scintilla draws a style's text in, in hundredths of a point.
long StyleSize(PageEditor *editor, int style) {
    return Send(editor, QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, static_cast<unsigned long>(style));
}

bool Struck(PageEditor *editor, long position) {
    return (Send(editor, QsciScintillaBase::SCI_INDICATORALLONFOR, static_cast<unsigned long>(position)) &
            (1 << PageEditor::StrikeIndicator)) != 0;
}

const QByteArray kStoredFont = "[Font]\r\nName=DejaVu Sans Mono\r\nSize=10\r\nCharset=0\r\nColor=255\r\n"
                               "Height=-20\r\nBold=1\r\nItalic=0\r\nUnderline=0\r\nStrikeOut=1\r\n";

} // namespace

class EditorFontTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedFontReachesTheEditorText() {
        WindowFixture f({}, kStoredFont);
        f.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
        Page *page = AddTextPage(f.window(), QStringLiteral("| a: 1;\r\n| b: 2;\r\n"));
        PageEditor *editor = page->editor();
        // 20 pixels at the editor's resolution, not the 10 points an editor fell back to.
        const double dpi = editor->viewport()->logicalDpiY();
        const long hundredths = qRound(20 * 72.0 / dpi * 100);
        QCOMPARE(StyleSize(editor, QsciScintillaBase::STYLE_DEFAULT), hundredths);
        QCOMPARE(StyleSize(editor, 0), hundredths);
        // A line of text is as high as the tree's lines of the same font.
        const QFontMetrics tree(page->tree()->font());
        const long lineHeight = Send(editor, QsciScintillaBase::SCI_TEXTHEIGHT, 0);
        QVERIFY2(
            qAbs(lineHeight - (tree.ascent() + tree.descent())) <= 1,
            qPrintable(QStringLiteral("%1 against %2").arg(lineHeight).arg(tree.ascent() + tree.descent())));
        QVERIFY(Send(editor, QsciScintillaBase::SCI_STYLEGETBOLD, 0) != 0);
        // "Color" 255 is red (red in the lowest byte), Scintilla's 0xBBGGRR as well.
        QCOMPARE(Send(editor, QsciScintillaBase::SCI_STYLEGETFORE, 0), 0x0000FFL);
        QCOMPARE(page->tree()->palette().color(QPalette::Text), QColor(Qt::red));
        // Strike-out over the whole text, also over text typed afterwards.
        QVERIFY(page->tree()->font().strikeOut());
        QCOMPARE(Send(editor, QsciScintillaBase::SCI_INDICGETSTYLE, PageEditor::StrikeIndicator),
                 long(QsciScintillaBase::INDIC_STRIKE));
        const long length = Send(editor, QsciScintillaBase::SCI_GETLENGTH);
        QVERIFY(Struck(editor, 0));
        QVERIFY(Struck(editor, length - 1));
        editor->setSelectionStart(editor->textLength());
        editor->replaceSelection(QStringLiteral("| c: 3;"));
        QVERIFY(Struck(editor, Send(editor, QsciScintillaBase::SCI_GETLENGTH) - 1));
        // Typed by the keyboard at the end.
        QTest::keyClicks(editor, QStringLiteral("xy"));
        QVERIFY(Struck(editor, Send(editor, QsciScintillaBase::SCI_GETLENGTH) - 1));

        // A font chosen later without strike-out takes it off again; the colour stays.
        QFont plain(QStringLiteral("DejaVu Sans Mono"), 12);
        f.dialogs.fonts.enqueue(QVariant::fromValue(plain));
        f.window().click(QStringLiteral("TBFont"));
        QCOMPARE(StyleSize(editor, 0), 1200L);
        QVERIFY(!Struck(editor, 0));
        QVERIFY(!Struck(editor, Send(editor, QsciScintillaBase::SCI_GETLENGTH) - 1));
        QVERIFY(Send(editor, QsciScintillaBase::SCI_STYLEGETBOLD, 0) == 0);
        QCOMPARE(Send(editor, QsciScintillaBase::SCI_STYLEGETFORE, 0), 0x0000FFL);
    }

    void withoutStoredFontTheEditorShowsTheMenuFont() {
        WindowFixture f;
        Page *page = AddTextPage(f.window(), QStringLiteral("| a: 1;\r\n"));
        PageEditor *editor = page->editor();
        const QFont font = f.window().PC->font();
        const double points = font.pointSizeF() > 0
                                  ? font.pointSizeF()
                                  : font.pixelSize() * 72.0 / editor->viewport()->logicalDpiY();
        QCOMPARE(StyleSize(editor, 0), long(qRound(points * 100)));
        // The default colour is the window text colour of the palette.
        const QColor text = editor->palette().color(QPalette::Text);
        QCOMPARE(Send(editor, QsciScintillaBase::SCI_STYLEGETFORE, 0),
                 long(text.red() | (text.green() << 8) | (text.blue() << 16)));
        QVERIFY(!Struck(editor, 0));
    }

    // System colours (top bit set) are the palette's matching roles; explicit ones hold red lowest.
    void coloursOfTheSettingsEncoding() {
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Text, QColor(1, 2, 3));
        palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
        palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(7, 8, 9));
        QCOMPARE(ColourFromWindowsValue(WindowTextColour, palette), QColor(1, 2, 3));
        QCOMPARE(ColourFromWindowsValue(static_cast<int>(0x8000000Du), palette), QColor(4, 5, 6));
        QCOMPARE(ColourFromWindowsValue(static_cast<int>(0x80000012u), palette), QColor(7, 8, 9));
        QCOMPARE(ColourFromWindowsValue(static_cast<int>(0x800000FFu), palette), QColor(1, 2, 3));
        QCOMPARE(ColourFromWindowsValue(0x00FF8001, palette), QColor(0x01, 0x80, 0xFF));
        QCOMPARE(ColourFromWindowsValue(0, palette), QColor(Qt::black));
    }

    void storedColourRoundTripsThroughTheWindow() {
        WindowFixture f({}, "[Font]\r\nColor=0x00336699\r\n");
        Page *page = AddTextPage(f.window(), QStringLiteral("| a: 1;\r\n"));
        QCOMPARE(Send(page->editor(), QsciScintillaBase::SCI_STYLEGETFORE, 0), 0x336699L);
        QCOMPARE(page->tree()->palette().color(QPalette::Text), QColor(0x99, 0x66, 0x33));
        f.window().close();
        QFile written(f.exeDir() + QStringLiteral("Kestrelbench.ini"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("Color=3368601\r\n"));
    }
};

QTEST_MAIN(EditorFontTest)
#include "editor_font_test.moc"
