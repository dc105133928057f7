// The RTF reader: the subset the readme uses, and malformed input that must be
// skipped without a crash (run under the sanitizers by CI).

#include "app/readme_page.h"
#include "ui/rtf_reader.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

QString Text(const QByteArray &rtf) {
    QTextDocument document;
    ReadRtf(rtf, &document);
    // The raw text keeps non-breaking spaces; paragraphs as line feeds.
    return document.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The character format of the first occurrence of needle.
QTextCharFormat FormatOf(QTextDocument &document, const QString &needle) {
    const QTextCursor found = document.find(needle);
    if (found.isNull())
        return QTextCharFormat();
    QTextCursor cursor(&document);
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paragraphsAndText() {
        QCOMPARE(Text("{\\rtf1\\ansi Hello\\par World}"), QStringLiteral("Hello\nWorld"));
        QTextDocument lines;
        ReadRtf("{\\rtf1 one\\line two\\tab three}", &lines);
        QCOMPARE(lines.toRawText(), QStringLiteral("one\u2028two\tthree"));
        QCOMPARE(lines.blockCount(), 1);
        // Line breaks of the file itself are no text; the space after a control word is its end.
        QCOMPARE(Text("{\\rtf1 a\r\nb\\par\nc \\b d}"), QStringLiteral("ab\nc d"));
        QCOMPARE(Text("{\\rtf1 \\\\ \\{x\\} a\\~b}"), QStringLiteral("\\ {x} a\u00A0b"));
        QCOMPARE(Text("{\\rtf1 x\\\ny}"), QStringLiteral("x\ny"));
    }

    void characterFormatsFollowTheGroups() {
        QTextDocument document;
        ReadRtf("{\\rtf1 plain {\\b bold {\\i both}} back \\ul under\\ul0  off \\b on\\b0  done}", &document);
        QCOMPARE(document.toPlainText(), QStringLiteral("plain bold both back under off on done"));
        QVERIFY(FormatOf(document, QStringLiteral("plain")).fontWeight() == QFont::Normal);
        QVERIFY(FormatOf(document, QStringLiteral("bold")).fontWeight() == QFont::Bold);
        QVERIFY(!FormatOf(document, QStringLiteral("bold")).fontItalic());
        QVERIFY(FormatOf(document, QStringLiteral("both")).fontItalic());
        QVERIFY(FormatOf(document, QStringLiteral("both")).fontWeight() == QFont::Bold);
        QVERIFY(FormatOf(document, QStringLiteral("back")).fontWeight() == QFont::Normal);
        QVERIFY(FormatOf(document, QStringLiteral("under")).fontUnderline());
        QVERIFY(!FormatOf(document, QStringLiteral("off")).fontUnderline());
        QVERIFY(FormatOf(document, QStringLiteral("on")).fontWeight() == QFont::Bold);
        QVERIFY(FormatOf(document, QStringLiteral("done")).fontWeight() == QFont::Normal);
    }

    void sizesFontsAndColours() {
        QTextDocument document;
        ReadRtf("{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}}"
                "{\\colortbl ;\\red200\\green10\\blue20;\\red0\\green0\\blue255;}"
                "base \\fs40 big \\f1 mono \\cf1 red \\cf2 blue \\cf0 auto \\cf9 none \\plain reset}",
                &document);
        QCOMPARE(document.toPlainText(), QStringLiteral("base big mono red blue auto none reset"));
        QCOMPARE(FormatOf(document, QStringLiteral("base")).fontPointSize(), 12.0);
        QCOMPARE(FormatOf(document, QStringLiteral("base")).fontFamilies().toStringList(),
                 QStringList{"Arial"});
        QCOMPARE(FormatOf(document, QStringLiteral("big")).fontPointSize(), 20.0);
        QCOMPARE(FormatOf(document, QStringLiteral("mono")).fontFamilies().toStringList(),
                 QStringList{"Courier New"});
        QCOMPARE(FormatOf(document, QStringLiteral("red")).foreground().color(), QColor(200, 10, 20));
        QCOMPARE(FormatOf(document, QStringLiteral("blue")).foreground().color(), QColor(0, 0, 255));
        QVERIFY(!FormatOf(document, QStringLiteral("auto")).hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!FormatOf(document, QStringLiteral("none")).hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(FormatOf(document, QStringLiteral("reset")).fontPointSize(), 12.0);
        QCOMPARE(FormatOf(document, QStringLiteral("reset")).fontFamilies().toStringList(),
                 QStringList{"Arial"});
    }

    void paragraphFormats() {
        QTextDocument document;
        ReadRtf("{\\rtf1\\pard\\qc\\sa300 Title\\par\\pard\\li600 body\\par\\qr right}", &document);
        QCOMPARE(document.blockCount(), 3);
        QCOMPARE(document.findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(document.findBlockByNumber(0).blockFormat().bottomMargin(), 20.0);
        QCOMPARE(document.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(document.findBlockByNumber(1).blockFormat().leftMargin(), 40.0);
        QCOMPARE(document.findBlockByNumber(2).blockFormat().alignment(), Qt::AlignRight);
    }

    void eightBitAndUnicodeCharacters() {
        QCOMPARE(Text("{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94}"),
                 QStringLiteral("caf\u00E9 \u20AC \u201Cq\u201D"));
        // The text bytes themselves are code page 1252 too.
        QCOMPARE(Text(QByteArray("{\\rtf1 na\xefve}")), QStringLiteral("na\u00EFve"));
        // \uN is followed by a stand-in for readers without Unicode, which is skipped.
        QCOMPARE(Text("{\\rtf1 \\u8364?x \\u-4064?y}"), QStringLiteral("\u20ACx \uF020y"));
        QCOMPARE(Text("{\\rtf1 \\u8212\\'97z}"), QStringLiteral("\u2014z"));
        QCOMPARE(Text("{\\rtf1\\uc2 \\u937 ABc}"), QStringLiteral("\u03A9c"));
        QCOMPARE(Text("{\\rtf1\\uc0 \\u937 ABc}"), QStringLiteral("\u03A9ABc"));
        QCOMPARE(Text("{\\rtf1 \\bullet  \\endash  \\emdash  \\lquote\\rquote\\ldblquote\\rdblquote}"),
                 QStringLiteral("\u2022 \u2013 \u2014 \u2018\u2019\u201C\u201D"));
    }

    void unknownThingsAreSkipped() {
        QCOMPARE(Text("{\\rtf1{\\*\\generator Some Writer;}{\\info{\\title The Title}{\\author Me}}"
                      "{\\stylesheet{\\s0 Normal;}}a\\foo123  b\\zzz c{\\*\\unknown hidden}d}"),
                 QStringLiteral("a bcd"));
        QCOMPARE(Text("{\\rtf1 a{\\pict\\pngblip 89504e47}b}"), QStringLiteral("ab"));
        QCOMPARE(Text("{\\rtf1 a\\bin4 }{\\\\b}"), QStringLiteral("ab"));
    }

    void malformedInputIsSkippedNeverACrash() {
        // Unbalanced braces.
        QCOMPARE(Text("{\\rtf1 {{{a"), QStringLiteral("a"));
        QCOMPARE(Text("}}}b{\\b c"), QStringLiteral("bc"));
        QCOMPARE(Text("{\\rtf1 {\\b x}}}} y"), QStringLiteral("x y"));
        // Truncated and invalid escapes.
        QCOMPARE(Text("{\\rtf1 a\\'"), QStringLiteral("a"));
        QCOMPARE(Text("{\\rtf1 a\\'4"), QStringLiteral("a"));
        QCOMPARE(Text("{\\rtf1 a\\'4x"), QStringLiteral("ax"));
        QCOMPARE(Text("{\\rtf1 a\\'zz"), QStringLiteral("azz"));
        QCOMPARE(Text("{\\rtf1 a\\"), QStringLiteral("a"));
        QCOMPARE(Text("{\\rtf1 a\\u"), QStringLiteral("a"));
        QCOMPARE(Text("{\\rtf1 a\\fs-"), QStringLiteral("a-"));
        // Huge and negative numbers.
        QTextDocument document;
        ReadRtf("{\\rtf1 \\fs99999999999999999999999 big \\fs-5 \\fs0 same \\cf-99999999999 \\f99999999999 x "
                "\\u99999999999 \\u-99999999 \\uc99999999999 \\sa99999999999 \\li-99999999 \\par z}",
                &document);
        QCOMPARE(FormatOf(document, QStringLiteral("big")).fontPointSize(), 1000.0);
        QCOMPARE(FormatOf(document, QStringLiteral("same")).fontPointSize(), 1000.0);
        QVERIFY(document.toPlainText().endsWith(QLatin1Char('z')));
        // \bin longer than the rest of the input.
        QCOMPARE(Text("{\\rtf1 a\\bin999999999 bcd"), QStringLiteral("a"));
        // A control word far longer than any real one, and very deep nesting.
        QCOMPARE(Text("{\\rtf1 a\\" + QByteArray(5000, 'x') + " b}"), QStringLiteral("ab"));
        QCOMPARE(Text(QByteArray(200000, '{') + "\\b deep" + QByteArray(200000, '}') + " end"),
                 QStringLiteral("deep end"));
        // NUL and control bytes are no text.
        QCOMPARE(Text(QByteArray("{\\rtf1 a\0\x01\x1f"
                                 "b}",
                                 13)),
                 QStringLiteral("ab"));
    }

    void randomBytesAndDamagedReadmes() {
        QRandomGenerator random(20261208);
        for (int round = 0; round < 300; ++round) {
            QByteArray garbage(int(random.bounded(1, 2000)), Qt::Uninitialized);
            for (char &c : garbage)
                c = char(random.bounded(256));
            QTextDocument document;
            ReadRtf(garbage, &document);
        }
        // The real readme with bytes changed, removed and cut off: no crash, and text comes out.
        const QByteArray readme = EmbeddedReadme();
        const QByteArray special = "{}\\';0123456789-";
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = readme;
            for (int edit = 0; edit < 8 && damaged.size() > 1; ++edit) {
                const int at = int(random.bounded(damaged.size()));
                switch (random.bounded(3)) {
                case 0:
                    damaged[at] = special.at(int(random.bounded(special.size())));
                    break;
                case 1:
                    damaged.remove(at, int(random.bounded(1, 20)));
                    break;
                default:
                    damaged.truncate(qMax(1, at));
                    break;
                }
            }
            QTextDocument document;
            ReadRtf(damaged, &document);
        }
        QVERIFY(Text(readme).contains(QLatin1String("Before you start")));
    }

    void readingReplacesTheDocument() {
        QTextDocument document;
        document.setPlainText(QStringLiteral("old content"));
        ReadRtf("{\\rtf1 new}", &document);
        QCOMPARE(document.toPlainText(), QStringLiteral("new"));
        ReadRtf(QByteArray(), &document);
        QVERIFY(document.isEmpty());
    }

    void manyStyleTogglesAreOneChangeOfTheShownDocument() {
        // A view lays out what changed each time its document tells it of a change: told once
        // per run, a paragraph of n toggles is laid out n times over (quadratic).
        constexpr int kToggles = 20000;
        QByteArray rtf("{\\rtf1 ");
        for (int i = 0; i < kToggles; ++i)
            rtf += (i % 2 ? "\\b0 r" : "\\b R") + QByteArray::number(i % 10) + ' ';
        rtf += "}";
        QTextEdit view;
        view.resize(400, 300);
        view.show();
        QTextDocument *document = view.document();
        document->setUndoRedoEnabled(true);
        int changes = 0;
        connect(document, &QTextDocument::contentsChange, this, [&changes] { ++changes; });
        ReadRtf(rtf, document);
        // Clearing and the read: a few changes, not one per run.
        QVERIFY2(changes < 10, qPrintable(QString::number(changes)));
        // Nothing for undo to keep, and undo is as it was.
        QVERIFY(!document->isUndoAvailable());
        QVERIFY(document->isUndoRedoEnabled());

        // One paragraph of alternating bold and normal runs, in order.
        QCOMPARE(document->blockCount(), 1);
        int runs = 0;
        bool bold = false;
        bool alternates = true;
        for (QTextBlock::iterator it = document->begin().begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool fragmentBold = fragment.charFormat().fontWeight() == QFont::Bold;
            alternates = alternates && (runs == 0 ? fragmentBold : fragmentBold != bold);
            bold = fragmentBold;
            ++runs;
        }
        QVERIFY(alternates);
        QCOMPARE(runs, kToggles);
        QCOMPARE(document->characterCount() - 1, kToggles * 3);
    }
};

QTEST_MAIN(TestRtfReader)
#include "test_rtf_reader.moc"
