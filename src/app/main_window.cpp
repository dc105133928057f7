#include "app/main_window.h"

#include "app/command_table.h"
#include "app/context_menus.h"
#include "app/hand_over.h"
#include "app/readme_page.h"
#include "app/settings.h"
#include "app/shortcut_hook.h"
#include "app/single_instance.h"
#include "converter/ensure_converter.h"
#include "document/busy_state.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "editor/view_tools.h"
#include "highlight/view_options.h"
#include "recovery/recovery_controller.h"
#include "search/find_in_files_controller.h"
#include "tree/page_tree.h"
#include "tree/quick_find.h"
#include "tree/tree_sync.h"
#include "ucs/ucs_list.h"
#include "ui/dialogs.h"
#include "ui/event_hook.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"
#include "ui/icons.h"
#include "ui/stop_waiting_button.h"
#include "ui/tool_bar.h"
#include "ui/upper_case_combo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFormMain::TFormMain(const Options &options, QWidget *parent) : QMainWindow(parent), m_options(options) {
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(QStringLiteral("Kestrelbench"));
    if (options.dialogs) {
        m_dialogs = options.dialogs;
    } else {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    createLayout();
    m_feedback = new Feedback(this, SB, [this]() -> std::optional<CaretPosition> {
        const PageEditor *editor = m_context.CurrentEditor;
        if (!editor)
            return std::nullopt;
        return CaretPosition{editor->caretLine(), editor->caretColumn(), editor->LineCount()};
    });
    createActions();
    createMenus();
    m_readme = new ReadmePage(PC, REReadme);
    createDocuments();
    createTools();
    m_shortcuts = new ShortcutHook([this](const QString &name) { click(name); }, this);
    m_shortcuts->setObjectName(QStringLiteral("AE"));
    qApp->installEventFilter(m_shortcuts);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            AEActivate();
    });
    // Before the creation sequence: a later start may hand over while it pumps events.
    m_handOver = new HandOver(*this);
    if (options.instance)
        connect(options.instance, &SingleInstance::received, m_handOver, &HandOver::receive);
    FormCreate();
    // Said once: the user learns before changing anything that it will not be kept. A command-line
    // file that opens once the window shows has the status line first.
    QStringList notices;
    if (!SettingsWritable)
        notices << SettingsNotWritableText(Location.settingsFile);
    if (options.handOverUnavailable)
        notices << HandOverUnavailableText();
    if (notices.isEmpty())
        return;
    const QString notice = notices.join(QStringLiteral("; "));
    if (m_handOver->commandLineOpenPending())
        connect(m_handOver, &HandOver::commandLineFilesOpened, this,
                [this, notice] { m_feedback->SetStatusText(notice); });
    else
        m_feedback->SetStatusText(notice);
}

QString TFormMain::HandOverUnavailableText() {
    return QStringLiteral("Files from later starts cannot be handed over: "
                          "the single-instance channel could not be set up");
}

QString TFormMain::SettingsNotWritableText(const QString &settingsFile) {
    return QStringLiteral("Settings cannot be written to %1: changes to them are not kept")
        .arg(QDir::toNativeSeparators(settingsFile));
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(m_shortcuts);
}

// The creation sequence; later steps rely on the earlier ones.
void TFormMain::FormCreate() {
    IsActivated = false;
    StringTableLines.clear();
    RememberedNodePath.clear();
    ExeDir = m_options.exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_options.exeDir;
    if (!ExeDir.endsWith(QLatin1Char('/')))
        ExeDir += QLatin1Char('/');
    Location = ResolveSettingsLocation(ExeDir);
    SettingsWritable = PrepareSettingsLocation(Location);
    OD = FileDialogSpec{QStringLiteral("Open Grindle.exe"), QStringLiteral("EXE file|*.exe"), ExeDir};
    ODUCS = FileDialogSpec{QStringLiteral("Open UCS files"), QStringLiteral("UCS file|*.ucs"), ExeDir};
    setFont(QApplication::font("QMenu"));
    SLV->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The hint window: Feedback creates it each time a hint is shown and destroys it on hiding.
    ClearPageContext(m_context);
    m_feedback->HintAnchor = Feedback::NoAnchor;
    ConverterPath.clear();
    m_readme->ShowReadme(Location.readmeDir);
    LoadSettings(*this);
    m_ucsList->ReloadStringTables();
    m_handOver->OpenCommandLineFile();
}

// Documents: pages, their trees, and the commands that open, save and close them.
void TFormMain::createDocuments() {
    m_busy = new BusyState(this);
    m_treeSync = new TreeSync(
        {this, m_context, *m_feedback, *m_dialogs, RememberedNodePath, PMTreeView, *m_busy}, this);
    m_documents = new DocumentController({this, PC, REReadme, SLV, PMRichEdit, m_context, *m_feedback,
                                          *m_dialogs, ConverterPath, *m_treeSync, *m_busy},
                                         this);
    DocumentController *documents = m_documents;
    connect(action(QStringLiteral("TBOpen")), &QAction::triggered, documents,
            [documents] { documents->TBOpenClick(); });
    connect(action(QStringLiteral("TBSave")), &QAction::triggered, documents,
            [documents] { documents->TBSaveClick(); });
    connect(action(QStringLiteral("TBSaveAll")), &QAction::triggered, documents,
            [documents] { documents->TBSaveAllClick(); });
    connect(action(QStringLiteral("TBReOpen")), &QAction::triggered, documents,
            [documents] { documents->TBReOpenClick(); });
    connect(action(QStringLiteral("TBClose")), &QAction::triggered, documents,
            [documents] { documents->TBCloseClick(); });
    connect(action(QStringLiteral("TBCloseAll")), &QAction::triggered, documents,
            [documents] { documents->TBCloseAllClick(); });
    hooks.ClosePage = [documents](int index) { documents->ClosePage(index); };
    hooks.SavePage = [documents](int index) { documents->SavePage(index); };
    m_recovery =
        new RecoveryController({PC, *m_documents, *m_feedback, *m_dialogs, ConverterPath, *m_busy}, this);
    hooks.RestoreBackup = [recovery = m_recovery](int index) { recovery->RestoreBackup(index); };
}

void TFormMain::createLayout() {
    resize(900, 600);
    auto *central = new QWidget(this);
    auto *centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    SPMain = new QSplitter(Qt::Horizontal, central);
    SPMain->setObjectName(QStringLiteral("SPMain"));
    SPMain->setHandleWidth(4);
    SPMain->setChildrenCollapsible(false);
    centralLayout->addWidget(SPMain);

    PanelMain = new QWidget(SPMain);
    PanelMain->setObjectName(QStringLiteral("PanelMain"));
    PanelMain->setMinimumWidth(50);
    auto *mainLayout = new QVBoxLayout(PanelMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    CBMain = new QWidget(PanelMain);
    CBMain->setObjectName(QStringLiteral("CBMain"));
    auto *coolLayout = new QHBoxLayout(CBMain);
    coolLayout->setContentsMargins(2, 1, 2, 1);
    TBMain = new QToolBar(CBMain);
    TBMain->setObjectName(QStringLiteral("TBMain"));
    SetUpToolBar(TBMain);
    coolLayout->addWidget(TBMain);
    mainLayout->addWidget(CBMain);
    PanelSLV = new QWidget(PanelMain);
    PanelSLV->setObjectName(QStringLiteral("PanelSLV"));
    auto *slvLayout = new QVBoxLayout(PanelSLV);
    slvLayout->setContentsMargins(2, 2, 2, 2);
    SLV = new FolderTree(PanelSLV);
    SLV->setObjectName(QStringLiteral("SLV"));
    slvLayout->addWidget(SLV);
    mainLayout->addWidget(PanelSLV, 1);

    PanelEdit = new QWidget(SPMain);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    auto *editLayout = new QVBoxLayout(PanelEdit);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->setSpacing(0);
    createBands();
    editLayout->addWidget(CBEdit);
    PC = new QTabWidget(PanelEdit);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setUsesScrollButtons(true);
    PC->setIconSize(QSize(16, 16));
    editLayout->addWidget(PC, 1);
    // Shown inside PC by the readme page.
    REReadme = new QTextEdit(this);
    REReadme->setObjectName(QStringLiteral("REReadme"));
    REReadme->setReadOnly(true);
    REReadme->setLineWrapMode(QTextEdit::NoWrap);
    REReadme->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    REReadme->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    REReadme->hide();

    SPMain->addWidget(PanelMain);
    SPMain->addWidget(PanelEdit);
    SPMain->setStretchFactor(0, 0);
    SPMain->setStretchFactor(1, 1);
    SPMain->setSizes({188, 900 - 188 - 4});
    setCentralWidget(central);

    SB = new QStatusBar(this);
    SB->setObjectName(QStringLiteral("SB"));
    SB->setFixedHeight(24);
    setStatusBar(SB);
    SB->addPermanentWidget(new StopWaitingButton(SB));

    TimerOpenFiles = new QTimer(this);
    TimerOpenFiles->setObjectName(QStringLiteral("TimerOpenFiles"));
    TimerOpenFiles->setInterval(200);
}

// CBEdit: the four bands in one row. The user moves and resizes them with the handles.
void TFormMain::createBands() {
    CBEdit = new QSplitter(Qt::Horizontal, PanelEdit);
    CBEdit->setObjectName(QStringLiteral("CBEdit"));
    CBEdit->setChildrenCollapsible(false);
    CBEdit->setHandleWidth(6);
    const struct {
        QToolBar **bar;
        const char *name;
        int minimum;
        int width;
    } bands[] = {{&TBEditSave, "TBEditSave", 136, 149},
                 // Find in Files makes TBEditMisc one button wider; TBUCS's combo box gives the room.
                 {&TBEditMisc, "TBEditMisc", 176, 196},
                 {&TBUCS, "TBUCS", 252, 288},
                 {&TBEditClose, "TBEditClose", 48, 61}};
    QList<int> widths;
    for (const auto &band : bands) {
        // A band: a frame that the splitter sizes, with its tool bar inside. The tool bar's own
        // size hints (which grow with CBUCS) never reach the splitter.
        auto *frame = new QWidget(CBEdit);
        frame->setObjectName(QString::fromLatin1(band.name) + QStringLiteral("Band"));
        frame->setMinimumWidth(band.minimum);
        auto *layout = new QHBoxLayout(frame);
        layout->setContentsMargins(2, 1, 2, 1);
        *band.bar = new QToolBar(frame);
        (*band.bar)->setObjectName(QString::fromLatin1(band.name));
        (*band.bar)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        SetUpToolBar(*band.bar);
        layout->addWidget(*band.bar);
        CBEdit->addWidget(frame);
        widths << band.width;
    }
    TBEditMisc->parentWidget()->setMinimumHeight(22);
    // The last band of the row takes what the others leave.
    CBEdit->setStretchFactor(3, 1);
    CBEdit->setSizes(widths);
    CBUCS = new UpperCaseComboBox(TBUCS);
    CBUCS->setObjectName(QStringLiteral("CBUCS"));
    CBUCS->setFixedWidth(200);
    connect(CBEdit, &QSplitter::splitterMoved, this, [this] { FitStringTableCombo(); });
    OnResize(CBEdit, [this] { FitStringTableCombo(); });
    OnResize(TBUCS, [this] { FitStringTableCombo(); });
}

void TFormMain::createActions() {
    const QHash<QString, QToolBar *> bars = {{QStringLiteral("TBMain"), TBMain},
                                             {QStringLiteral("TBEditSave"), TBEditSave},
                                             {QStringLiteral("TBEditMisc"), TBEditMisc},
                                             {QStringLiteral("TBUCS"), TBUCS},
                                             {QStringLiteral("TBEditClose"), TBEditClose}};
    const QStringList separatorAfter = {QStringLiteral("TBOpen"), QStringLiteral("TBRefresh"),
                                        QStringLiteral("TBReOpen"), QStringLiteral("TBSaveAll"),
                                        QStringLiteral("TBFindInFiles")};
    for (const CommandSpec &command : CommandTable()) {
        const QString name = QString::fromLatin1(command.name);
        auto *action = new QAction(MainImage(command.image), QString::fromLatin1(command.hint), this);
        action->setObjectName(name);
        action->setToolTip(QString::fromLatin1(command.hint));
        action->setProperty("imageIndex", command.image);
        m_actions.insert(name, action);
        QToolBar *bar = bars.value(QString::fromLatin1(command.toolBar));
        if (name == QLatin1String("TBAddUCS")) {
            bar->addWidget(CBUCS);
            AddToolSeparator(bar);
        }
        AddToolButton(bar, action, QSize(24, bar == TBEditMisc ? 22 : 24));
        if (separatorAfter.contains(name))
            AddToolSeparator(bar);
    }
    connect(action(QStringLiteral("TBRefresh")), &QAction::triggered, this, [this] { TBRefreshClick(); });
    connect(action(QStringLiteral("TBAbout")), &QAction::triggered, this, [this] { TBAboutClick(); });
    connect(action(QStringLiteral("TBRebuildTree")), &QAction::triggered, this,
            [this] { TBRebuildTreeClick(); });
    connect(SLV, &FolderTree::openRequested, this, [this] { click(QStringLiteral("TBOpen")); });
}

// Editor tools: find and replace, editor font and view arrangement; Quick Find; the UCS list.
void TFormMain::createTools() {
    m_findReplace = new FindReplace(this, m_context, PC, dialogs());
    m_viewTools = new ViewTools(PC, m_context, dialogs(), *m_feedback);
    m_viewOptions = new ViewOptions(PC, m_context, this);
    m_viewOptions->bind({action(QStringLiteral("PMHighlight")), action(QStringLiteral("PMFolding")),
                         action(QStringLiteral("PMLineNumbers")), action(QStringLiteral("PMFoldAll")),
                         action(QStringLiteral("PMUnfoldAll"))});
    connect(m_documents, &DocumentController::pageCreated, m_viewOptions,
            [this](Page *page) { m_viewOptions->attach(page->editor()); });
    m_quickFind = std::make_unique<QuickFind>(m_context, RememberedNodePath, dialogs());
    m_ucsList = new UcsList(
        {this, CBUCS, StringTableLines, ODUCS, m_context, dialogs(), *m_feedback, *m_findReplace});
    const auto on = [this](const char *name, auto handler) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("TBFind", [this] { m_findReplace->TBFindClick(); });
    on("TBReplace", [this] { m_findReplace->TBReplaceClick(); });
    on("TBFont", [this] { m_viewTools->TBFontClick(); });
    on("TBArrange", [this] { m_viewTools->TBArrangeClick(); });
    on("TBArrangeAll", [this] { m_viewTools->TBArrangeAllClick(); });
    on("TBArrangeTo", [this] { m_viewTools->TBArrangeToClick(); });
    on("TBQuickWizard", [this] { m_quickFind->TBQuickWizardClick(); });
    m_findInFiles = new FindInFilesController({this, PC, SLV, *m_documents, ConverterPath}, this);
    on("TBFindInFiles", [this] { m_findInFiles->TBFindInFilesClick(); });
    on("TBAddUCS", [this] { m_ucsList->TBAddUCSClick(); });
    on("TBRemoveUCS", [this] { m_ucsList->TBRemoveUCSClick(); });
    // Hooks of the documents' handlers.
    m_treeSync->LookupSelectedNumber = [this] { m_ucsList->LookupAfterInput(); };
    m_treeSync->ReplaceAllRunning = [this] { return m_findReplace->ReplaceAllRunning; };
    m_documents->FontChanging = [this] { return m_viewTools->FontChanging; };
}

void TFormMain::createMenus() {
    m_menus = new ContextMenus(this, ContextMenus::Wiring{m_context, PC, *m_feedback, hooks,
                                                          [this](const QString &name) { click(name); },
                                                          TabMenuPageIndex});
    PMRichEdit = m_menus->PMRichEdit;
    PMTreeView = m_menus->PMTreeView;
    PMTab = m_menus->PMTab;
    for (auto it = m_menus->items().begin(); it != m_menus->items().end(); ++it)
        m_actions.insert(it.key(), it.value());
    // PCMouseDown: the right button on the tab row, on a tab or beside the tabs.
    new EventHook(PC->tabBar(), QEvent::MouseButtonPress, [this](QEvent *event) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        return mouse->button() == Qt::RightButton &&
               PCMouseDown(PC->tabBar()->mapTo(PC, mouse->position().toPoint()));
    });
    new EventHook(PC, QEvent::MouseButtonPress, [this](QEvent *event) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        return mouse->button() == Qt::RightButton && PCMouseDown(mouse->position().toPoint());
    });
}

void TFormMain::click(const QString &name) {
    if (QAction *a = action(name))
        a->trigger();
}

void TFormMain::AEActivate() {
    // The converter question is itself a window that can activate the program again.
    if (m_activating)
        return;
    m_activating = true;
    IsActivated = true;
    const bool converter = EnsureConverter(ConverterPath, ExeDir, dialogs());
    m_activating = false;
    if (!converter) {
        QCoreApplication::quit();
        return;
    }
    FitStringTableCombo();
}

void TFormMain::FitStringTableCombo() {
    // The splitter first gives TBUCS its current width.
    CBEdit->refresh();
    const QLayout *layout = TBUCS->layout();
    const QMargins margins = layout->contentsMargins();
    int others = 0;
    int items = 0;
    for (int i = 0; i < layout->count(); ++i) {
        // Buttons that do not fit at the moment are hidden by the tool bar; they count all the same.
        QWidget *widget = layout->itemAt(i)->widget();
        if (!widget)
            continue;
        ++items;
        if (!qobject_cast<QComboBox *>(widget))
            others += widget->minimumWidth() == widget->maximumWidth() ? widget->minimumWidth()
                                                                       : widget->sizeHint().width();
    }
    const int spacing = qMax(0, items - 1) * qMax(0, layout->spacing());
    CBUCS->setFixedWidth(qMax(0, TBUCS->width() - margins.left() - margins.right() - spacing - others));
}

void TFormMain::PopupAtCursor(QMenu *menu) {
    if (menu)
        menu->popup(QCursor::pos());
}

void TFormMain::TBRefreshClick() {
    m_feedback->AnchorHintAtMouse();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SLV->refresh();
    SLV->waitUntilSettled();
    QApplication::restoreOverrideCursor();
    m_feedback->ShowHintPopup(QStringLiteral("Directory tree refreshed"), true, 3);
}

void TFormMain::TBAboutClick() {
    dialogs().ShowInfo(
        QStringLiteral("Kestrelbench 1.2.0\r\n\r\nWritten by the Kestrelbench developers\r\n\r\n2026\r\n\r\n"
                       "Settings: %1")
            .arg(QDir::toNativeSeparators(Location.settingsFile)));
}

void TFormMain::TBRebuildTreeClick() {
    if (!m_context.CurrentSheet)
        return;
    m_feedback->AnchorHintAtMouse();
    if (m_treeSync->RebuildCurrentTree())
        m_feedback->ShowHintPopup(QStringLiteral("Tree rebuilt"), true, 3);
}

bool TFormMain::PCMouseDown(const QPoint &pos) {
    // Only the tab row: presses that pages pass up are not PC's own.
    const QRect row(0, PC->tabBar()->geometry().top(), PC->width(), PC->tabBar()->height());
    if (PC->tabBar()->isHidden() || !row.contains(pos))
        return false;
    TabMenuPageIndex = PC->tabBar()->tabAt(PC->tabBar()->mapFrom(PC, pos));
    PopupAtCursor(PMTab);
    return true;
}

void TFormMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        // Edits a crash left behind are offered once the window is there to show them in.
        QTimer::singleShot(0, m_recovery, [recovery = m_recovery] { recovery->OfferAtStart(); });
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
}

void TFormMain::closeEvent(QCloseEvent *event) {
    bool canClose = true;
    m_documents->FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

// The close was allowed.
void TFormMain::FormClose() {
    // Pages left open ("Quit any way?") keep their newest letters.
    m_recovery->WriteAllNow();
    SaveSettings(*this);
}
