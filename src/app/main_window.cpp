#include "app/main_window.h"

#include "app/command_table.h"
#include "app/feedback.h"
#include "app/shortcut_hook.h"
#include "converter/ensure_converter.h"
#include "document/busy_state.h"
#include "document/document_controller.h"
#include "editor/find_replace.h"
#include "editor/view_tools.h"
#include "tree/quick_find.h"
#include "tree/tree_sync.h"
#include "ucs/ucs_list.h"
#include "ui/dialogs.h"
#include "ui/folder_tree.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
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
    createActions();
    createMenus();
    m_feedback = new Feedback(this, SB, m_context);
    createDocuments();
    createTools();
    m_shortcuts = new ShortcutHook([this](const QString &name) { click(name); }, this);
    qApp->installEventFilter(m_shortcuts);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            AEActivate();
    });
    FormCreate();
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(m_shortcuts);
}

void TFormMain::FormCreate() {
    IsActivated = false;
    StringTableLines.clear();
    RememberedNodePath.clear();
    ExeDir = m_options.exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_options.exeDir;
    if (!ExeDir.endsWith(QLatin1Char('/')))
        ExeDir += QLatin1Char('/');
    setFont(QApplication::font("QMenu"));
    ClearPageContext(m_context);
    m_feedback->HintAnchor = Feedback::NoAnchor;
    ConverterPath.clear();
    // The UCS files that the settings listed.
    m_ucsList->ReloadStringTables();
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
    TBMain = new QToolBar(PanelMain);
    TBMain->setObjectName(QStringLiteral("TBMain"));
    mainLayout->addWidget(TBMain);
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
    CBEdit = new QSplitter(Qt::Horizontal, PanelEdit);
    CBEdit->setObjectName(QStringLiteral("CBEdit"));
    CBEdit->setChildrenCollapsible(false);
    const struct {
        QToolBar **bar;
        const char *name;
        int minimum;
        int width;
    } bands[] = {{&TBEditSave, "TBEditSave", 136, 149},
                 {&TBEditMisc, "TBEditMisc", 152, 172},
                 {&TBUCS, "TBUCS", 252, 312},
                 {&TBEditClose, "TBEditClose", 48, 61}};
    QList<int> widths;
    for (const auto &band : bands) {
        *band.bar = new QToolBar(CBEdit);
        (*band.bar)->setObjectName(QString::fromLatin1(band.name));
        (*band.bar)->setMinimumWidth(band.minimum);
        CBEdit->addWidget(*band.bar);
        widths << band.width;
    }
    CBEdit->setSizes(widths);
    editLayout->addWidget(CBEdit);
    CBUCS = new QComboBox(TBUCS);
    CBUCS->setObjectName(QStringLiteral("CBUCS"));
    CBUCS->setEditable(false);
    CBUCS->setFixedWidth(200);
    PC = new QTabWidget(PanelEdit);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setUsesScrollButtons(true);
    editLayout->addWidget(PC, 1);
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

    TimerOpenFiles = new QTimer(this);
    TimerOpenFiles->setObjectName(QStringLiteral("TimerOpenFiles"));
    TimerOpenFiles->setInterval(200);
}

void TFormMain::createActions() {
    const QHash<QString, QToolBar *> bars = {{QStringLiteral("TBMain"), TBMain},
                                             {QStringLiteral("TBEditSave"), TBEditSave},
                                             {QStringLiteral("TBEditMisc"), TBEditMisc},
                                             {QStringLiteral("TBUCS"), TBUCS},
                                             {QStringLiteral("TBEditClose"), TBEditClose}};
    for (const CommandSpec &spec : CommandTable()) {
        const QString name = QString::fromLatin1(spec.name);
        auto *action = new QAction(QString::fromLatin1(spec.hint), this);
        action->setObjectName(name);
        action->setToolTip(QString::fromLatin1(spec.hint));
        action->setProperty("imageIndex", spec.image);
        m_actions.insert(name, action);
        QToolBar *bar = bars.value(QString::fromLatin1(spec.toolBar));
        if (name == QLatin1String("TBAddUCS")) {
            bar->addWidget(CBUCS);
            bar->addSeparator();
        }
        bar->addAction(action);
        if (QWidget *button = bar->widgetForAction(action))
            button->setObjectName(name);
        if (name == QLatin1String("TBOpen") || name == QLatin1String("TBRefresh") ||
            name == QLatin1String("TBReOpen") || name == QLatin1String("TBRebuildTree") ||
            name == QLatin1String("TBFind"))
            bar->addSeparator();
        if (name == QLatin1String("TBSaveAll"))
            bar->addSeparator();
    }
    connect(action(QStringLiteral("TBRefresh")), &QAction::triggered, this, [this] { TBRefreshClick(); });
    connect(action(QStringLiteral("TBAbout")), &QAction::triggered, this, [this] { TBAboutClick(); });
    connect(action(QStringLiteral("TBRebuildTree")), &QAction::triggered, this,
            [this] { TBRebuildTreeClick(); });
    connect(SLV, &FolderTree::openRequested, this, [this] { click(QStringLiteral("TBOpen")); });
    connect(CBEdit, &QSplitter::splitterMoved, this, [this] { FitStringTableCombo(); });
}

// Editor tools: find and replace, editor font and view arrangement; Quick Find; the UCS list.
void TFormMain::createTools() {
    m_findReplace = new FindReplace(this, m_context, PC, dialogs());
    m_viewTools = new ViewTools(PC, m_context, dialogs(), *m_feedback);
    m_quickFind = std::make_unique<QuickFind>(m_context, RememberedNodePath, dialogs());
    m_ucsList = new UcsList(
        {this, CBUCS, StringTableLines, m_context, dialogs(), *m_feedback, *m_findReplace, ExeDir});
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
    on("TBAddUCS", [this] { m_ucsList->TBAddUCSClick(); });
    on("TBRemoveUCS", [this] { m_ucsList->TBRemoveUCSClick(); });
    // Hooks of the documents' handlers.
    m_treeSync->LookupSelectedNumber = [this] { m_ucsList->LookupSelectedNumber(); };
    m_treeSync->ReplaceAllRunning = [this] { return m_findReplace->ReplaceAllRunning; };
    m_documents->FontChanging = [this] { return m_viewTools->FontChanging; };
}

void TFormMain::createMenus() {
    PMRichEdit = new QMenu(this);
    PMRichEdit->setObjectName(QStringLiteral("PMRichEdit"));
    PMTreeView = new QMenu(this);
    PMTreeView->setObjectName(QStringLiteral("PMTreeView"));
    PMTab = new QMenu(this);
    PMTab->setObjectName(QStringLiteral("PMTab"));
    PC->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PC->tabBar(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PCMouseDown(pos); });
    connect(PMRichEdit, &QMenu::aboutToShow, this, [this] { PMRichEditPopup(); });
    connect(PMTab, &QMenu::aboutToShow, this, [this] { PMTabPopup(); });
}

void TFormMain::click(const QString &name) {
    if (QAction *a = action(name))
        a->trigger();
}

void TFormMain::AEActivate() {
    IsActivated = true;
    if (!EnsureConverter(ConverterPath, ExeDir, dialogs())) {
        QCoreApplication::quit();
        return;
    }
    FitStringTableCombo();
}

void TFormMain::FitStringTableCombo() {
    int others = 0;
    for (QObject *child : TBUCS->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isVisible() && widget != CBUCS && !qobject_cast<QComboBox *>(widget) &&
            TBUCS->layout()->indexOf(widget) >= 0)
            others += widget->width();
    }
    CBUCS->setFixedWidth(qMax(0, TBUCS->width() - others));
}

void TFormMain::PopupAtCursor(QMenu *menu) {
    if (menu)
        menu->popup(QCursor::pos());
}

void TFormMain::TBRefreshClick() {
    m_feedback->AnchorHintAtMouse();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SLV->refresh();
    QApplication::restoreOverrideCursor();
    m_feedback->ShowHintPopup(QStringLiteral("Directory tree refreshed"), true, 3);
}

void TFormMain::TBAboutClick() {
    dialogs().ShowInfo(
        QStringLiteral("Kestrelbench 1.2.0\r\n\r\nMade by the Kestrelbench developers\r\n\r\n2026"));
}

void TFormMain::TBRebuildTreeClick() {
    if (!m_context.CurrentSheet)
        return;
    m_feedback->AnchorHintAtMouse();
    if (m_treeSync->RebuildCurrentTree())
        m_feedback->ShowHintPopup(QStringLiteral("Tree rebuilt"), true, 3);
}

void TFormMain::PCMouseDown(const QPoint &pos) {
    TabMenuPageIndex = PC->tabBar()->tabAt(pos);
    PopupAtCursor(PMTab);
}

void TFormMain::PMRichEditPopup() {
    m_feedback->ShowHintPopup(QString(), true, 0);
}

void TFormMain::PMTabPopup() {}

void TFormMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
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
    // SaveSettings goes here.
}
