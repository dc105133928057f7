#include "app/settings.h"

#include "app/main_window.h"
#include "document/document_controller.h"
#include "highlight/view_options.h"
#include "platform/ini_file.h"
#include "recovery/recovery_controller.h"
#include "search/find_in_files_controller.h"
#include "ui/folder_tree.h"
#include "ui/windows_colour.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

namespace {
const QString Main = QStringLiteral("Main");
const QString Font = QStringLiteral("Font");
const QString View = QStringLiteral("View");
// Our own section: the described ones keep exactly their keys.
const QString SearchSection = QStringLiteral("FindInFiles");
const QString Separator = QStringLiteral("||");

double ScreenDpi() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : 96.0;
}

QString SettingsPath(const TFormMain &window) {
    return window.Location.settingsFile;
}

void LoadBounds(IniFile &ini, TFormMain &window) {
    if (ini.ReadBool(Main, QStringLiteral("Maximized"), false)) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    const int top = ini.ReadInteger(Main, QStringLiteral("Top"), window.y());
    const int left = ini.ReadInteger(Main, QStringLiteral("Left"), window.x());
    const int width = ini.ReadInteger(Main, QStringLiteral("Width"), window.width());
    const int height = ini.ReadInteger(Main, QStringLiteral("Height"), window.height());
    window.move(left, top);
    // A window of no size could not be reached to enlarge it again.
    const QSize least = window.minimumSizeHint();
    window.resize(qMax(width, least.width()), qMax(height, least.height()));
}

void LoadStringTableList(IniFile &ini, TFormMain &window) {
    const QString value = ini.ReadString(Main, QStringLiteral("UCSPath"), QString());
    window.CBUCS->clear();
    for (const QString &path : value.split(Separator)) {
        // An empty entry (the end of the value, or "||||") names no file.
        if (!path.isEmpty())
            window.CBUCS->addItem(path.toUpper(), path);
    }
}

void LoadFont(IniFile &ini, TFormMain &window) {
    QFont font = window.PC->font();
    const QString name = ini.ReadString(Font, QStringLiteral("Name"), font.family());
    if (!name.isEmpty())
        font.setFamily(name);
    const int size = ini.ReadInteger(Font, QStringLiteral("Size"), FontSizeInPoints(font));
    if (size > 0)
        font.setPointSize(size);
    // Qt fonts have no character set; the stored one is kept as it was read and written back.
    window.EditorFontCharset =
        ini.ReadInteger(Font, QStringLiteral("Charset"), window.EditorFontCharset) & 0xFF;
    window.EditorFontColor = ini.ReadInteger(Font, QStringLiteral("Color"), window.EditorFontColor);
    ApplyFontHeight(font, ini.ReadInteger(Font, QStringLiteral("Height"), FontHeightInPixels(font)));
    font.setBold(ini.ReadBool(Font, QStringLiteral("Bold"), font.bold()));
    font.setItalic(ini.ReadBool(Font, QStringLiteral("Italic"), font.italic()));
    font.setUnderline(ini.ReadBool(Font, QStringLiteral("Underline"), font.underline()));
    font.setStrikeOut(ini.ReadBool(Font, QStringLiteral("StrikeOut"), font.strikeOut()));
    window.PC->setFont(font);
    SetTextColour(window.PC, window.EditorFontColor);
}

void LoadView(IniFile &ini, TFormMain &window) {
    ViewSettings view = window.viewOptions().settings();
    view.Highlight = ini.ReadBool(View, QStringLiteral("Highlight"), view.Highlight);
    view.Folding = ini.ReadBool(View, QStringLiteral("Folding"), view.Folding);
    view.LineNumbers = ini.ReadBool(View, QStringLiteral("LineNumbers"), view.LineNumbers);
    window.viewOptions().setSettings(view);
}
} // namespace

int FontHeightInPixels(const QFont &font) {
    if (font.pixelSize() > 0)
        return -font.pixelSize();
    return -qRound(font.pointSizeF() * ScreenDpi() / 72.0);
}

int FontSizeInPoints(const QFont &font) {
    if (font.pointSize() > 0)
        return font.pointSize();
    return qRound(font.pixelSize() * 72.0 / ScreenDpi());
}

void ApplyFontHeight(QFont &font, int height) {
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // A cell height: scale the character height so that ascent plus descent comes to it.
        QFont probe = font;
        probe.setPixelSize(height);
        const QFontMetrics metrics(probe);
        const int cell = metrics.ascent() + metrics.descent();
        font.setPixelSize(cell > 0 ? qMax(1, qRound(double(height) * height / cell)) : height);
    }
}

void LoadSettings(TFormMain &window) {
    // Each step applies what it read; a failure keeps the earlier steps and reports nothing.
    try {
        IniFile ini(SettingsPath(window));
        LoadBounds(ini, window);
        window.ConverterPath = ini.ReadString(Main, QStringLiteral("Grindle"), QString());
        // An empty value names no converter either.
        if (window.ConverterPath.isEmpty())
            window.ConverterPath = window.Location.defaultConverter;
        LoadStringTableList(ini, window);
        window.documents().VerifySave = ini.ReadBool(Main, QStringLiteral("VerifySave"), true);
        window.recovery().Backups = qMax(0, ini.ReadInteger(Main, QStringLiteral("Backups"), 5));
        const QString lastFolder = ini.ReadString(Main, QStringLiteral("LastFolder"), QString());
        if (!lastFolder.isEmpty() && QFileInfo::exists(lastFolder)) {
            window.SLV->selectPath(lastFolder);
            window.findInFiles().LastFolder = lastFolder;
        }
        LoadFont(ini, window);
        window.findInFiles().setPanelHeight(ini.ReadInteger(SearchSection, QStringLiteral("PanelHeight"),
                                                            window.findInFiles().panelHeight()));
        LoadView(ini, window);
    } catch (...) {
    }
}

void SaveSettings(TFormMain &window) {
    try {
        IniFile ini(SettingsPath(window));
        const bool maximized = window.isMaximized();
        ini.WriteBool(Main, QStringLiteral("Maximized"), maximized);
        // While maximized the stored bounds are those to restore to: keep them.
        if (!maximized) {
            ini.WriteInteger(Main, QStringLiteral("Top"), window.y());
            ini.WriteInteger(Main, QStringLiteral("Left"), window.x());
            ini.WriteInteger(Main, QStringLiteral("Width"), window.width());
            ini.WriteInteger(Main, QStringLiteral("Height"), window.height());
        }
        ini.WriteString(Main, QStringLiteral("Grindle"), window.ConverterPath);
        QString ucsPaths;
        for (int i = 0; i < window.CBUCS->count(); ++i) {
            // The item shows the path in upper case; its data keeps the real spelling.
            const QVariant path = window.CBUCS->itemData(i);
            ucsPaths += (path.isValid() ? path.toString() : window.CBUCS->itemText(i)) + Separator;
        }
        ini.WriteString(Main, QStringLiteral("UCSPath"), ucsPaths);
        ini.WriteString(Main, QStringLiteral("LastFolder"), window.SLV->selectedPath());
        ini.WriteBool(Main, QStringLiteral("VerifySave"), window.documents().VerifySave);
        ini.WriteInteger(Main, QStringLiteral("Backups"), window.recovery().Backups);
        const QFont font = window.PC->font();
        ini.WriteString(Font, QStringLiteral("Name"), font.family());
        ini.WriteInteger(Font, QStringLiteral("Size"), FontSizeInPoints(font));
        ini.WriteInteger(Font, QStringLiteral("Charset"), window.EditorFontCharset & 0xFF);
        ini.WriteInteger(Font, QStringLiteral("Color"), window.EditorFontColor);
        ini.WriteInteger(Font, QStringLiteral("Height"), FontHeightInPixels(font));
        ini.WriteBool(Font, QStringLiteral("Bold"), font.bold());
        ini.WriteBool(Font, QStringLiteral("Italic"), font.italic());
        ini.WriteBool(Font, QStringLiteral("Underline"), font.underline());
        ini.WriteBool(Font, QStringLiteral("StrikeOut"), font.strikeOut());
        const ViewSettings view = window.viewOptions().settings();
        ini.WriteBool(View, QStringLiteral("Highlight"), view.Highlight);
        ini.WriteBool(View, QStringLiteral("Folding"), view.Folding);
        ini.WriteBool(View, QStringLiteral("LineNumbers"), view.LineNumbers);
        ini.WriteInteger(SearchSection, QStringLiteral("PanelHeight"), window.findInFiles().panelHeight());
        ini.Flush(); // false: the folder cannot be written; closing goes on silently
    } catch (...) {
    }
}
