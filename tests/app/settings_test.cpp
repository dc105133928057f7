// The settings file against the real window: what LoadSettings applies, what
// SaveSettings writes, and the files that are missing, odd or unwritable.

#include "app/settings.h"
#include "document/document_controller.h"
#include "highlight/view_options.h"
#include "platform/ini_file.h"
#include "recovery/recovery_controller.h"
#include "support/window_fixture.h"
#include "ui/folder_tree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Lines(const QStringList &lines) {
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

// The settings as the program read them back from a file holding text.
QByteArray Ini(const char *main, const char *font = "") {
    return QByteArray("[Main]\r\n") + main + "\r\n[Font]\r\n" + font + "\r\n";
}

// A small string table at path, so that the reload after loading the settings keeps it listed.
void MakeUcsFile(const QString &path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray("\xFF\xFE"
                              "1\0\t\0A\0",
                              8));
}

// The window's frame is centred on the desktop. The offscreen platform moves a
// window wider than its 800-pixel screen by its 2-pixel frame after showing.
bool IsCentred(const QWidget &window) {
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint off = window.frameGeometry().center() - centre;
    return qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2;
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noSettingsFileKeepsTheLayout();
    void maximizedKeepsTheStoredBoundsOnClose();
    void storedSizeIsCentredOnFirstShow();
    void integersReadAsTheProfileFunctionsDo();
    void booleansReadAsIntegers();
    void stringTableListFromUcsPath_data();
    void stringTableListFromUcsPath();
    void longUcsPathIsCutAt2047Characters();
    void lastFolderSelectsExistingItemsOnly();
    void fontHeightWinsOverSize();
    void fontColourAndCharsetRoundTrip();
    void exampleFileReadsBackExactly();
    void newFileHoldsEveryKeyInOrder();
    void viewTogglesRoundTripAndReachTheMenu();
    void saveKeepsUnrelatedContent();
    void verifySaveIsOnUnlessTurnedOff();
    void unwritableTargetWritesNothingAndSaysNothing();
    void pathsKeepTheirLettersAcrossStarts();
};

void SettingsTest::noSettingsFileKeepsTheLayout() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    QVERIFY(window.ConverterPath.isEmpty());
    QCOMPARE(window.CBUCS->count(), 0);
    QVERIFY(window.SLV->selectedPaths().isEmpty());
    const QFont menu = QApplication::font("QMenu");
    QCOMPARE(window.PC->font().family(), menu.family());
    QCOMPARE(FontHeightInPixels(window.PC->font()), FontHeightInPixels(menu));
    QCOMPARE(window.size(), QSize(900, 600));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(IsCentred(window), qPrintable(QStringLiteral("%1,%2").arg(window.x()).arg(window.y())));
    QVERIFY(!QFile::exists(fixture.exeDir() + "Kestrelbench.ini"));
}

void SettingsTest::maximizedKeepsTheStoredBoundsOnClose() {
    WindowFixture fixture({}, Ini("Maximized=1\r\nTop=11\r\nLeft=22\r\nWidth=777\r\nHeight=555"));
    TFormMain &window = fixture.window();
    QVERIFY(window.windowState() & Qt::WindowMaximized);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.isMaximized());
    window.close();
    const QByteArray written = ReadFile(fixture.exeDir() + "Kestrelbench.ini");
    QVERIFY(written.contains("Maximized=1\r\nTop=11\r\nLeft=22\r\nWidth=777\r\nHeight=555\r\n"));
}

void SettingsTest::storedSizeIsCentredOnFirstShow() {
    WindowFixture fixture({}, Ini("Maximized=0\r\nTop=0\r\nLeft=0\r\nWidth=1000\r\nHeight=700"));
    TFormMain &window = fixture.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1000, 700));
    QVERIFY2(IsCentred(window), qPrintable(QStringLiteral("%1,%2").arg(window.x()).arg(window.y())));
    // Closing writes where the window is now, not the stored 0, 0.
    const QPoint at = window.pos();
    window.close();
    const QByteArray written = ReadFile(fixture.exeDir() + "Kestrelbench.ini");
    QVERIFY(written.contains("Top=" + QByteArray::number(at.y()) + "\r\nLeft=" + QByteArray::number(at.x()) +
                             "\r\nWidth=1000\r\nHeight=700\r\n"));
}

void SettingsTest::integersReadAsTheProfileFunctionsDo() {
    {
        WindowFixture fixture({}, Ini("Width=0x3E8\r\nHeight=$2BC"));
        QCOMPARE(fixture.window().size(), QSize(1000, 700));
    }
    {
        WindowFixture fixture({}, Ini("Width=abc\r\nHeight=12abc\r\nTop=3\r\nLeft=-4"));
        QCOMPARE(fixture.window().size(), QSize(900, 600));
        QCOMPARE(fixture.window().pos(), QPoint(-4, 3));
    }
}

void SettingsTest::booleansReadAsIntegers() {
    {
        WindowFixture fixture({}, Ini("", "Bold=2\r\nItalic=0x1\r\nUnderline=-1\r\nStrikeOut=0"));
        const QFont font = fixture.window().PC->font();
        QVERIFY(font.bold());
        QVERIFY(font.italic());
        QVERIFY(font.underline());
        QVERIFY(!font.strikeOut());
    }
    {
        // Not a number: the current flag stays, whichever it is.
        WindowFixture fixture({}, Ini("Maximized=yes", "Bold=yes\r\nItalic=true"));
        QVERIFY(!(fixture.window().windowState() & Qt::WindowMaximized));
        QCOMPARE(fixture.window().PC->font().bold(), QApplication::font("QMenu").bold());
        QCOMPARE(fixture.window().PC->font().italic(), QApplication::font("QMenu").italic());
    }
}

void SettingsTest::stringTableListFromUcsPath_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QStringList>("paths");
    // "/game/" stands for a temporary folder that holds the two tables.
    const QStringList two{QStringLiteral("/game/English.ucs"), QStringLiteral("/game/Ärger/extra.UCS")};
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("trailing separator") << QByteArray("/game/English.ucs||/game/Ärger/extra.UCS||") << two;
    QTest::newRow("no trailing separator") << QByteArray("/game/English.ucs||/game/Ärger/extra.UCS") << two;
    QTest::newRow("empty entry") << QByteArray("/game/English.ucs||||/game/Ärger/extra.UCS||") << two;
}

void SettingsTest::stringTableListFromUcsPath() {
    QFETCH(QByteArray, value);
    QFETCH(QStringList, paths);
    QTemporaryDir game;
    const QString root = game.path() + QStringLiteral("/game/");
    for (QString &path : paths) {
        path.replace(QStringLiteral("/game/"), root);
        MakeUcsFile(path);
    }
    value.replace("/game/", root.toUtf8());
    // The file is code page 1252; "Ä" is one byte there.
    value.replace("\xC3\x84", "\xC4");
    WindowFixture fixture({}, Ini("UCSPath=" + value));
    QComboBox *list = fixture.window().CBUCS;
    QCOMPARE(list->count(), paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        QCOMPARE(list->itemText(i), paths.at(i).toUpper());
        QCOMPARE(list->itemData(i).toString(), paths.at(i));
    }
    // Written back with the real letter case, each path followed by "||".
    SaveSettings(fixture.window());
    QByteArray expected = "UCSPath=";
    for (const QString &path : paths)
        expected += path.toLatin1() + "||";
    QVERIFY(ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains(expected + "\r\n"));
}

void SettingsTest::longUcsPathIsCutAt2047Characters() {
    // Three tables with names of 200 characters in folders nested deep enough that the
    // value passes 2,047 characters within the third path.
    QTemporaryDir game;
    const QByteArray base = QFile::encodeName(game.path());
    const QByteArray deep =
        "/" + QByteArray(200, 'd') + "/" + QByteArray(200, 'e') + "/" + QByteArray(200, 'f');
    QList<QByteArray> paths;
    for (const char letter : {'x', 'y', 'z'})
        paths << base + "/" + letter + deep + "/" + QByteArray(200, letter) + ".ucs";
    for (const QByteArray &path : paths)
        MakeUcsFile(QString::fromLatin1(path));
    const QByteArray value = paths.at(0) + "||" + paths.at(1) + "||" + paths.at(2) + "||";
    QVERIFY(paths.at(0).size() * 2 + 4 < 2047 && value.size() > 2047);
    WindowFixture fixture({}, Ini("UCSPath=" + value));
    // The third path is cut, so it names no file and the reload drops it.
    QComboBox *list = fixture.window().CBUCS;
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemData(0).toString(), QString::fromLatin1(paths.at(0)));
    QCOMPARE(list->itemData(1).toString(), QString::fromLatin1(paths.at(1)));
}

void SettingsTest::lastFolderSelectsExistingItemsOnly() {
    QTemporaryDir data;
    QDir(data.path()).mkpath(QStringLiteral("deep/er"));
    const QString file = data.filePath(QStringLiteral("deep/er/file.rbf"));
    QFile(file).open(QIODevice::WriteOnly);
    {
        WindowFixture fixture({}, Ini("LastFolder=" + QFile::encodeName(data.filePath("gone"))));
        QVERIFY(fixture.window().SLV->selectedPaths().isEmpty());
        SaveSettings(fixture.window());
        QVERIFY(ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains("LastFolder=\r\n"));
    }
    {
        WindowFixture fixture({}, Ini("LastFolder=" + QFile::encodeName(file)));
        FolderTree *tree = fixture.window().SLV;
        QCOMPARE(tree->selectedPath(), file);
        const QModelIndex index = tree->fileModel()->index(file);
        QVERIFY(tree->isExpanded(index.parent()));
        QVERIFY(tree->isExpanded(index.parent().parent()));
        SaveSettings(fixture.window());
        QVERIFY(
            ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains("LastFolder=" + file.toUtf8() + "\r\n"));
    }
    {
        WindowFixture fixture({}, Ini("LastFolder=" + QFile::encodeName(data.filePath("deep"))));
        QCOMPARE(fixture.window().SLV->selectedPath(), data.filePath("deep"));
    }
}

void SettingsTest::fontHeightWinsOverSize() {
    {
        WindowFixture fixture({}, Ini("", "Name=DejaVu Sans Mono\r\nSize=10\r\nHeight=-20"));
        const QFont font = fixture.window().PC->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(font.pixelSize(), 20);
        QCOMPARE(FontHeightInPixels(font), -20);
    }
    {
        // Size alone: the height follows from it.
        WindowFixture fixture({}, Ini("", "Size=14"));
        const QFont font = fixture.window().PC->font();
        QCOMPARE(FontSizeInPoints(font), 14);
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
        QCOMPARE(FontHeightInPixels(font), -qRound(14 * dpi / 72));
    }
    {
        // A positive height is the cell height: the character height comes out smaller.
        WindowFixture fixture({}, Ini("", "Height=30"));
        const int pixels = fixture.window().PC->font().pixelSize();
        QVERIFY2(pixels > 0 && pixels <= 30, qPrintable(QString::number(pixels)));
    }
}

void SettingsTest::fontColourAndCharsetRoundTrip() {
    {
        WindowFixture fixture;
        QCOMPARE(fixture.window().EditorFontColor, -2147483640);
        SaveSettings(fixture.window());
        QVERIFY(
            ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains("Charset=0\r\nColor=-2147483640\r\n"));
    }
    {
        WindowFixture fixture({}, Ini("", "Charset=460\r\nColor=16711680"));
        QCOMPARE(fixture.window().EditorFontColor, 0xFF0000);
        QCOMPARE(fixture.window().EditorFontCharset, 460 & 0xFF);
        SaveSettings(fixture.window());
        QVERIFY(
            ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains("Charset=204\r\nColor=16711680\r\n"));
    }
}

void SettingsTest::exampleFileReadsBackExactly() {
    QTemporaryDir data;
    const QString grindle = data.filePath(QStringLiteral("tools/Grindle.exe"));
    const QString english = data.filePath(QStringLiteral("game/English.ucs"));
    const QString extra = data.filePath(QStringLiteral("game/EXTRA.UCS"));
    MakeUcsFile(english);
    MakeUcsFile(extra);
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    const int height = -qRound(10 * dpi / 72);
    const QByteArray example = Lines({
        QStringLiteral("[Main]"),
        QStringLiteral("Maximized=0"),
        QStringLiteral("Top=240"),
        QStringLiteral("Left=510"),
        QStringLiteral("Width=900"),
        QStringLiteral("Height=600"),
        QStringLiteral("Grindle=") + grindle,
        QStringLiteral("UCSPath=%1||%2||").arg(english, extra),
        QStringLiteral("LastFolder=") + data.path(),
        QStringLiteral("VerifySave=1"),
        QStringLiteral("Backups=3"),
        QStringLiteral("[Font]"),
        QStringLiteral("Name=Courier New"),
        QStringLiteral("Size=10"),
        QStringLiteral("Charset=0"),
        QStringLiteral("Color=-2147483640"),
        QStringLiteral("Height=%1").arg(height),
        QStringLiteral("Bold=0"),
        QStringLiteral("Italic=0"),
        QStringLiteral("Underline=0"),
        QStringLiteral("StrikeOut=0"),
        QStringLiteral("[View]"),
        QStringLiteral("Highlight=1"),
        QStringLiteral("Folding=1"),
        QStringLiteral("LineNumbers=1"),
        QStringLiteral("[FindInFiles]"),
        QStringLiteral("PanelHeight=240"),
    });
    WindowFixture fixture({}, example);
    TFormMain &window = fixture.window();
    QCOMPARE(window.ConverterPath, grindle);
    QCOMPARE(window.pos(), QPoint(510, 240));
    QCOMPARE(window.PC->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(window.recovery().Backups, 3);
    QFile::remove(fixture.exeDir() + "Kestrelbench.ini");
    SaveSettings(window);
    QCOMPARE(ReadFile(fixture.exeDir() + "Kestrelbench.ini"), example);
}

void SettingsTest::newFileHoldsEveryKeyInOrder() {
    WindowFixture fixture;
    SaveSettings(fixture.window());
    QStringList keys;
    for (const QByteArray &line : ReadFile(fixture.exeDir() + "Kestrelbench.ini").split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        if (!text.isEmpty())
            keys << text.section(QLatin1Char('='), 0, 0);
    }
    QCOMPARE(keys,
             (QStringList{"[Main]",      "Maximized",     "Top",        "Left",       "Width",     "Height",
                          "Grindle",     "UCSPath",       "LastFolder", "VerifySave", "Backups",   "[Font]",
                          "Name",        "Size",          "Charset",    "Color",      "Height",    "Bold",
                          "Italic",      "Underline",     "StrikeOut",  "[View]",     "Highlight", "Folding",
                          "LineNumbers", "[FindInFiles]", "PanelHeight"}));
}

void SettingsTest::viewTogglesRoundTripAndReachTheMenu() {
    {
        // Absent, or not a number: on.
        WindowFixture fixture({}, "[View]\r\nFolding=abc\r\n");
        const ViewSettings view = fixture.window().viewOptions().settings();
        QVERIFY(view.Highlight && view.Folding && view.LineNumbers);
    }
    WindowFixture fixture({}, "[View]\r\nHighlight=0\r\nFolding=2\r\nLineNumbers=0\r\n");
    TFormMain &window = fixture.window();
    const ViewSettings view = window.viewOptions().settings();
    QVERIFY(!view.Highlight);
    QVERIFY(view.Folding);
    QVERIFY(!view.LineNumbers);
    QVERIFY(!window.action(QStringLiteral("PMHighlight"))->isChecked());
    QVERIFY(window.action(QStringLiteral("PMFolding"))->isChecked());
    QVERIFY(!window.action(QStringLiteral("PMLineNumbers"))->isChecked());
    // The menu's toggles change what the close writes.
    window.action(QStringLiteral("PMHighlight"))->trigger();
    window.action(QStringLiteral("PMFolding"))->trigger();
    QVERIFY(!window.action(QStringLiteral("PMFoldAll"))->isEnabled());
    SaveSettings(window);
    QVERIFY(ReadFile(fixture.exeDir() + "Kestrelbench.ini")
                .contains("[View]\r\nHighlight=1\r\nFolding=0\r\nLineNumbers=0\r\n"));
}

void SettingsTest::verifySaveIsOnUnlessTurnedOff() {
    {
        WindowFixture fixture;
        QVERIFY(fixture.window().documents().VerifySave);
    }
    for (const char *value : {"1", "abc", ""}) {
        const QByteArray line = QByteArray("VerifySave=") + value;
        WindowFixture fixture({}, Ini(line.constData()));
        QVERIFY2(fixture.window().documents().VerifySave, value);
    }
    WindowFixture fixture({}, Ini("VerifySave=0"));
    QVERIFY(!fixture.window().documents().VerifySave);
    SaveSettings(fixture.window());
    QVERIFY(ReadFile(fixture.exeDir() + "Kestrelbench.ini").contains("VerifySave=0\r\n"));
}

void SettingsTest::saveKeepsUnrelatedContent() {
    const QByteArray before = "; written by hand\r\n"
                              "[Other]\r\n"
                              "Key=kept value\r\n"
                              "[main]\r\n"
                              "top=5\r\n"
                              "Foo=bar\r\n"
                              ";Left=99\r\n";
    WindowFixture fixture({}, before);
    TFormMain &window = fixture.window();
    QCOMPARE(window.y(), 5);
    window.move(17, 23);
    SaveSettings(window);
    const QByteArray after = ReadFile(fixture.exeDir() + "Kestrelbench.ini");
    QVERIFY(
        after.startsWith("; written by hand\r\n[Other]\r\nKey=kept value\r\n[main]\r\ntop=23\r\nFoo=bar\r\n"
                         ";Left=99\r\nMaximized=0\r\nLeft=17\r\n"));
    QVERIFY(after.contains("\r\n[Font]\r\n"));
}

void SettingsTest::unwritableTargetWritesNothingAndSaysNothing() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    // A folder where the file would go cannot be replaced by a file, not even by root.
    const QString path = fixture.exeDir() + "Kestrelbench.ini";
    QVERIFY(QDir().mkdir(path));
    const QStringList before = QDir(fixture.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    SaveSettings(window);
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(QDir(fixture.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(fixture.dialogs.calls.isEmpty());
#ifdef Q_OS_UNIX
    if (geteuid() != 0) {
        // A read-only executable folder.
        QVERIFY(QDir().rmdir(path));
        QFile::setPermissions(fixture.exeDir(), QFile::ReadOwner | QFile::ExeOwner);
        SaveSettings(window);
        QFile::setPermissions(fixture.exeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!QFile::exists(path));
        QVERIFY(fixture.dialogs.calls.isEmpty());
    }
#endif
}

void SettingsTest::pathsKeepTheirLettersAcrossStarts() {
    // A folder named "Ã©": in code page 1252 the bytes C3 A9, which are also UTF-8 for
    // "é". And one outside the code page, which needs UTF-8.
    const QString latin = QString::fromUtf16(u"/data/\u00C3\u00A9/grindle");
    const QString cyrillic = QString::fromUtf16(u"/data/\u0438\u0433\u0440\u0430/grindle");
    for (const QString &converter : {latin, cyrillic}) {
        QByteArray settings = EncodeSettingsText(QStringLiteral("[Main]\r\nGrindle=") + converter + "\r\n");
        // Three starts, each closed again: the path must read the same every time.
        for (int start = 0; start < 3; ++start) {
            WindowFixture fixture({}, settings);
            QCOMPARE(fixture.window().ConverterPath, converter);
            fixture.window().close();
            settings = ReadFile(fixture.exeDir() + "Kestrelbench.ini");
            QVERIFY(settings.contains("Grindle="));
        }
        // Written as code page 1252 when it fits, else as UTF-8 after its mark.
        QCOMPARE(settings.startsWith("\xEF\xBB\xBF"), converter == cyrillic);
    }
}

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
