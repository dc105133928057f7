// The status panel draws its text from the font's glyphs: it must look exactly as the label it
// replaces, for the caret's texts, for letter pairs that the font kerns, and for texts it leaves
// to the label (letters outside ASCII, a text too long for the panel).

#include "ui/status_panel.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

// The panel as the status line makes it.
template <typename Panel> void Prepare(Panel &panel, const QFont &font, const QString &text) {
    panel.setTextFormat(Qt::PlainText);
    panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel.setAutoFillBackground(true);
    panel.setFont(font);
    panel.setFixedSize(125, 22);
    panel.setText(text);
}

QImage Drawn(QWidget &panel) {
    return panel.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestStatusPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void looksAsTheLabel_data();
    void looksAsTheLabel();
    void followsANewText();
};

void TestStatusPanel::looksAsTheLabel_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("direct"); // drawn from the glyphs, not by the label
    const QString fonts[] = {QApplication::font().family(), QStringLiteral("DejaVu Serif")};
    for (const QString &family : fonts) {
        for (const int size : {8, 9, 11}) {
            const QByteArray tag = family.toUtf8() + " " + QByteArray::number(size);
            QTest::newRow(tag + " line") << family << size << QStringLiteral("Ln: 999702 / 1000000") << true;
            QTest::newRow(tag + " column") << family << size << QStringLiteral("Col: 1") << true;
            QTest::newRow(tag + " too long")
                << family << size << QStringLiteral("Ln: 1 / 2 ").repeated(8) << true;
            QTest::newRow(tag + " kerned") << family << size << QStringLiteral("AV Wa Ty LT Yo") << false;
            QTest::newRow(tag + " accents")
                << family << size << QStringLiteral("Ln: \u00e9t\u00e9 / fi") << false;
        }
    }
}

void TestStatusPanel::looksAsTheLabel() {
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(QString, text);
    QFETCH(bool, direct);
    QFont font(family);
    font.setPointSize(size);
    QLabel label;
    StatusPanel panel;
    Prepare(label, font, text);
    Prepare(panel, font, text);
    const QImage expected = Drawn(label);
    const QImage drawn = Drawn(panel);
    QCOMPARE(drawn.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            differing += drawn.pixel(x, y) != expected.pixel(x, y);
    QCOMPARE(differing, 0);
    QCOMPARE(panel.drawnFromGlyphs(), direct);
}

// The text set last is the one shown, however often it changes.
void TestStatusPanel::followsANewText() {
    QLabel label;
    StatusPanel panel;
    Prepare(label, QApplication::font(), QStringLiteral("Ln: 2 / 3"));
    Prepare(panel, QApplication::font(), QStringLiteral("Ln: 1 / 3"));
    QVERIFY(Drawn(label) != Drawn(panel));
    panel.setText(QStringLiteral("Ln: 2 / 3"));
    QCOMPARE(Drawn(panel), Drawn(label));
}

QTEST_MAIN(TestStatusPanel)
#include "test_status_panel.moc"
