#pragma once
// TFormMain: the one window of the program and the composition root. It builds
// the layout, owns the widgets and one controller per subsystem, and wires the
// commands to them.

#include "app/shell_hooks.h"
#include "document/page_context.h"
#include "platform/settings_location.h"
#include "ui/dialogs.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <memory>

class ContextMenus;
class BusyState;
class Dialogs;
class DocumentController;
class Feedback;
class FindInFilesController;
class FindReplace;
class FolderTree;
class HandOver;
class QAction;
class QComboBox;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QuickFind;
class ReadmePage;
class RecoveryController;
class ShortcutHook;
class SingleInstance;
class TreeSync;
class UcsList;
class ViewOptions;
class ViewTools;

struct MainWindowOptions {
    QString exeDir;             // the folder of the settings file and the readme; empty: the executable's
    QStringList arguments;      // the command line; argument 1 is a file to open
    Dialogs *dialogs = nullptr; // the dialog seam; nullptr: the real Qt dialogs
    SingleInstance *instance = nullptr; // the channel later starts hand their files over on, if any
    bool handOverUnavailable = false;   // the channel could not be set up: the status line says so
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    using Options = MainWindowOptions;

    explicit TFormMain(const Options &options = Options(), QWidget *parent = nullptr);
    ~TFormMain() override;

    // Runs a command exactly as a click on its tool button does.
    void click(const QString &name);
    // The command of a tool button (TBOpen, ...) or a menu item (PMUndo, PMTabClose, ...).
    QAction *action(const QString &name) const { return m_actions.value(name); }

    // The status text of a window that later starts cannot reach.
    static QString HandOverUnavailableText();
    // The status text of a window whose settings file cannot be written.
    static QString SettingsNotWritableText(const QString &settingsFile);

    Dialogs &dialogs() const { return *m_dialogs; }
    Feedback &feedback() const { return *m_feedback; }
    HandOver &handOver() const { return *m_handOver; }
    PageContext &context() { return m_context; }
    ContextMenus &menus() const { return *m_menus; }
    ReadmePage &readme() const { return *m_readme; }

    // Work of other subsystems that the window's commands call (see ShellHooks).
    ShellHooks hooks;
    DocumentController &documents() const { return *m_documents; }
    // Recovery files of unsaved edits and backups of RBF files (setting Backups).
    RecoveryController &recovery() const { return *m_recovery; }
    TreeSync &treeSync() const { return *m_treeSync; }
    // Editor tools: find and replace (FindRunning, ReplaceAllRunning), font and arrangement (FontChanging).
    FindReplace &findReplace() const { return *m_findReplace; }
    ViewTools &viewTools() const { return *m_viewTools; }
    // Highlighting, folding and line numbers of the page editors.
    ViewOptions &viewOptions() const { return *m_viewOptions; }
    QuickFind &quickFind() const { return *m_quickFind; }
    FindInFilesController &findInFiles() const { return *m_findInFiles; }
    // The UCS list CBUCS, StringTableLines and the number lookup.
    UcsList &ucsList() const { return *m_ucsList; }

    // Components, named as their objectName.
    QWidget *PanelMain = nullptr;
    QWidget *CBMain = nullptr;
    QToolBar *TBMain = nullptr;
    QWidget *PanelSLV = nullptr;
    FolderTree *SLV = nullptr;
    QSplitter *SPMain = nullptr;
    QWidget *PanelEdit = nullptr;
    QSplitter *CBEdit = nullptr;
    QToolBar *TBEditSave = nullptr;
    QToolBar *TBEditMisc = nullptr;
    QToolBar *TBUCS = nullptr;
    QToolBar *TBEditClose = nullptr;
    QComboBox *CBUCS = nullptr;
    QTabWidget *PC = nullptr;
    QTextEdit *REReadme = nullptr;
    QStatusBar *SB = nullptr;
    QMenu *PMRichEdit = nullptr;
    QMenu *PMTreeView = nullptr;
    QMenu *PMTab = nullptr;
    QTimer *TimerOpenFiles = nullptr;
    // The open dialogs for the converter and for string tables; they start in ExeDir.
    FileDialogSpec OD;
    FileDialogSpec ODUCS;

    // Window fields that several subsystems share.
    bool IsActivated = false;
    QString ExeDir;
    // Where the settings file and the readme are, and whether the settings can be written there.
    SettingsLocation Location;
    bool SettingsWritable = true;
    QString ConverterPath;
    QStringList StringTableLines;
    QStringList RememberedNodePath;
    // The tab under the mouse when PMTab last opened; -1 when the click was beside the tabs.
    int TabMenuPageIndex = -1;
    // The editor font's colour and character set as the settings file holds
    // them (QFont has neither): colour in the framework's encoding, the system
    // window-text colour by default.
    int EditorFontColor = -2147483640;
    int EditorFontCharset = 0;
    const QStringList &arguments() const { return m_options.arguments; }

    void AEActivate();
    void FitStringTableCombo();
    // Opens menu at the mouse cursor; nothing without a menu.
    void PopupAtCursor(QMenu *menu);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    // After the close was allowed: writes the settings.
    void FormClose();
    void createDocuments();
    void createLayout();
    void createBands();
    void createActions();
    void createMenus();
    void TBRefreshClick();
    void TBAboutClick();
    void TBRebuildTreeClick();
    // Right button on the tab row; pos in PC's coordinates. True when it opened the menu.
    bool PCMouseDown(const QPoint &pos);
    void createTools();

    Options m_options;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs *m_dialogs = nullptr;
    Feedback *m_feedback = nullptr;
    ShortcutHook *m_shortcuts = nullptr;
    ContextMenus *m_menus = nullptr;
    ReadmePage *m_readme = nullptr;
    HandOver *m_handOver = nullptr;
    BusyState *m_busy = nullptr;
    TreeSync *m_treeSync = nullptr;
    DocumentController *m_documents = nullptr;
    RecoveryController *m_recovery = nullptr;
    FindReplace *m_findReplace = nullptr;
    ViewTools *m_viewTools = nullptr;
    ViewOptions *m_viewOptions = nullptr;
    std::unique_ptr<QuickFind> m_quickFind;
    FindInFilesController *m_findInFiles = nullptr;
    UcsList *m_ucsList = nullptr;
    PageContext m_context;
    QHash<QString, QAction *> m_actions;
    bool m_centred = false;
    bool m_activating = false;
};
