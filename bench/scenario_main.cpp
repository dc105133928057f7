// kestrel-scenario: the real main window on the offscreen platform, driven over a generated
// 1,000,000-line converted text. Prints one figure per line, "name: value unit", on standard
// output; notes for the reader (sizes, load) go to standard error.
//
// The converter is the scenario's own (scenario_converter.cpp): it puts a prepared text in place
// without converting, and its time, measured on its own, is taken off the open and save figures.

#include "app/main_window.h"
#include "converter/run_converter.h"
#include "document/document_controller.h"
#include "document/file_fingerprint.h"
#include "document/page.h"
#include "document/save_verification.h"
#include "editor/page_editor.h"
#include "scenario_baseline.h"
#include "scenario_figures.h"
#include "scenario_grindle.h"
#include "scenario_pathological.h"
#include "scenario_startup.h"
#include "scenario_tools.h"
#include "scenario_views.h"
#include "support/event_gap_probe.h"
#include "support/scripted_dialogs.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

constexpr int kLines = 1'000'000;
constexpr int kScaleLines = 5'000'000;
constexpr int kOpenRuns = 5;
constexpr int kSaveRuns = 5;
constexpr int kConverterRuns = 9;
// Repetitions of the short figures; KESTREL_SCENARIO_REPEAT multiplies them (for a profiler).
const int kShortRuns = 41 * qMax(1, qEnvironmentVariableIntValue("KESTREL_SCENARIO_REPEAT"));
const QSize kWindowSize(1280, 860);

// KESTREL_SCENARIO_STEPS="caret node" runs only those steps (after one open), e.g. under a profiler.
bool Wanted(const char *step) {
    const QString only = qEnvironmentVariable("KESTREL_SCENARIO_STEPS");
    return only.isEmpty() || only.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(QLatin1String(step));
}

// The offscreen platform warns about every window feature it lacks; those lines are noise here.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtCriticalMsg ? "error: " : "", qPrintable(message));
}

// KESTREL_SCENARIO_TRACE=1 prints every paint and layout request during the short figures, with
// microseconds, to standard error: where the time of a caret move or a node selection goes.
class PaintTrace : public QObject {
public:
    PaintTrace() {
        if (qEnvironmentVariableIsSet("KESTREL_SCENARIO_TRACE")) {
            m_clock.start();
            qApp->installEventFilter(this);
        }
    }
    ~PaintTrace() override { qApp->removeEventFilter(this); }
    void mark(const char *what) {
        if (m_clock.isValid())
            std::fprintf(stderr, "%8lld --- %s\n", m_clock.nsecsElapsed() / 1000, what);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            const QRect r = static_cast<QPaintEvent *>(event)->rect();
            std::fprintf(stderr, "%8lld paint %s %s %dx%d+%d+%d\n", m_clock.nsecsElapsed() / 1000,
                         watched->metaObject()->className(), qPrintable(watched->objectName()), r.width(),
                         r.height(), r.x(), r.y());
        } else if (event->type() == QEvent::LayoutRequest) {
            std::fprintf(stderr, "%8lld layout %s\n", m_clock.nsecsElapsed() / 1000,
                         watched->metaObject()->className());
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
};

[[noreturn]] void Fail(const QString &why) {
    std::fprintf(stderr, "kestrel-scenario: %s\n", qPrintable(why));
    std::exit(1);
}

void Flush() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

class Scenario {
public:
    Scenario() {
        if (!m_dir.isValid())
            Fail(QStringLiteral("no temporary folder"));
        m_rbf = m_dir.filePath(QStringLiteral("big.rbf"));
        m_text = m_dir.filePath(QStringLiteral("big.txt"));
    }

    // The text by grindle's generator and its RBF file by grindle itself, in child processes, so
    // that their memory does not count in this process's peak. They become the converter's
    // prepared outputs: x.txt.ready for opens, x.rbf.ready for saves.
    void generate() { generate(kLines, m_rbf, m_text); }

    void generate(int lines, const QString &rbf, const QString &text) {
        const Stopwatch clock;
        const QString seed = m_dir.filePath(QStringLiteral("seed.txt"));
        runGrindle({QStringLiteral("--generate"), QString::number(lines), seed});
        runGrindle({QStringLiteral("-q"), QStringLiteral("-i"), seed});
        const QString seedRbf = m_dir.filePath(QStringLiteral("seed.rbf"));
        if (!QFile::rename(seed, text + QStringLiteral(".ready")) ||
            !QFile::rename(seedRbf, rbf + QStringLiteral(".ready")) ||
            !QFile::copy(rbf + QStringLiteral(".ready"), rbf))
            Fail(QStringLiteral("cannot prepare the converter's outputs in %1").arg(m_dir.path()));
        PrintNote(QStringLiteral("text: %1 lines, %2 bytes; RBF file: %3 bytes; made in %4 ms")
                      .arg(lines)
                      .arg(QFileInfo(text + QStringLiteral(".ready")).size())
                      .arg(QFileInfo(rbf).size())
                      .arg(clock.ms(), 0, 'f', 0));
    }

    static void runGrindle(const QStringList &arguments) {
        QProcess grindle;
        // Its report line would mix with the figures: only its errors are passed on.
        grindle.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        grindle.start(QStringLiteral(KESTREL_GRINDLE), arguments);
        if (!grindle.waitForFinished(300000) || grindle.exitStatus() != QProcess::NormalExit ||
            grindle.exitCode() != 0)
            Fail(QStringLiteral("grindle %1 failed").arg(arguments.join(QLatin1Char(' '))));
    }

    // The real converter on the prepared text and its RBF file, both ways.
    void measureGrindle() {
        MeasureGrindle(m_text + QStringLiteral(".ready"), m_rbf + QStringLiteral(".ready"), m_dir.path());
    }

    void createWindow() {
        const QString exeDir = m_dir.filePath(QStringLiteral("exe"));
        QDir().mkpath(exeDir);
        // Its recovery files and backups stay in the scenario's folder, away from the user's.
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("state"))));
        TFormMain::Options options;
        options.exeDir = exeDir + QLatin1Char('/');
        options.dialogs = &m_dialogs;
        m_window = std::make_unique<TFormMain>(options);
        m_window->ConverterPath = QStringLiteral(KESTREL_SCENARIO_CONVERTER);
        m_window->resize(kWindowSize);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            Fail(QStringLiteral("the window was not exposed"));
        Flush();
    }

    // The converter alone, started as the window starts it: the part of open and save not counted.
    double converterMs(const QString &input, const QString &output) {
        QVector<double> runs;
        for (int i = 0; i < kConverterRuns; ++i) {
            const Stopwatch clock;
            if (!RunConverter(m_window->ConverterPath, input))
                Fail(QStringLiteral("the scenario converter did not start"));
            runs << clock.ms();
            if (!output.isEmpty())
                QFile::remove(output);
        }
        return Median(runs);
    }

    // One open of the text: from the Open command to the page shown, its tree built, the first
    // node selected and the window painted.
    double open() { return open(m_rbf, m_text); }

    double open(const QString &rbf, const QString &text) {
        QFile::remove(text);
        Flush();
        const qint64 cpuBefore = ProcessCpuNs();
        const Stopwatch clock;
        m_window->documents().TBOpenClick(QStringList{rbf});
        // Pending updates are painted, then the whole window once more, at once: the figure
        // ends with everything on the screen, at the price of perhaps one paint too many.
        QCoreApplication::processEvents();
        m_window->repaint();
        const double ms = clock.ms();
        m_lastOpenCpuMs = static_cast<double>(ProcessCpuNs() - cpuBefore) / 1e6;
        checkOpened();
        return ms;
    }

    void checkOpened() {
        if (m_window->PC->count() != 1)
            Fail(QStringLiteral("open made %1 pages; dialogs: %2")
                     .arg(m_window->PC->count())
                     .arg(m_dialogs.texts(QStringLiteral("error")).join(QStringLiteral("; "))));
        if (tree()->structure().nodeCount() == 0 || tree()->selectedNode() != 0)
            Fail(QStringLiteral("the tree was not built or its first node is not selected"));
    }

    void close() {
        if (!m_window->documents().ClosePage(0))
            Fail(QStringLiteral("the page did not close"));
        Flush();
    }

    void measureOpen() {
        const double converter = converterMs(m_rbf, m_text);
        PrintNote(QStringLiteral("scenario converter (open direction): %1 ms, taken off open_1m_ms")
                      .arg(converter, 0, 'f', 2));
        ResetPeakResident();
        ViewRuns runs(*m_window, kOpenRuns);
        for (int run = 0; run < runs.count(); ++run) {
            runs.enter(run);
            const double ms = open() - converter;
            runs.record(run, ms, m_lastOpenCpuMs);
            if (run == 0) {
                m_peakMb = PeakResidentMb();
                PrintNote(QStringLiteral("nodes: %1, lines in the editor: %2")
                              .arg(tree()->structure().nodeCount())
                              .arg(editor()->LineCount()));
            }
            close();
        }
        runs.leave();
        m_openMs = runs.median(0);
        // With it, the processor time of every thread of the process: on a busy machine the wall
        // clock stretches, that does not.
        runs.print("open_1m_ms", "ms");

        // Once more with the probe running (it adds a timer callback to every pumping pass).
        EventGapProbe probe;
        probe.start();
        open();
        const double gap = probe.stop();
        PrintFigure("event_gap_1m_ms", gap, "ms");
        PrintNote(QStringLiteral("event loop passes during that open: %1").arg(probe.passes()));
    }

    // The Rebuild Tree command on the open page: the tree built again from the editor's lines,
    // then the caret's node selected; timed to the window painted. Median of 3.
    void measureRebuild() {
        QVector<double> runs;
        for (int i = 0; i < 3; ++i) {
            Flush();
            const Stopwatch clock;
            m_window->click(QStringLiteral("TBRebuildTree"));
            QCoreApplication::processEvents();
            runs << clock.ms();
            if (tree()->structure().nodeCount() == 0 || tree()->TreeState != PageTree::Idle)
                Fail(QStringLiteral("the rebuild left no tree"));
        }
        PrintFigure("rebuild_1m_ms", Median(runs), "ms");
    }

    // The caret one line down by the Down key, near the end of the text; the tree follows. Timed
    // to the window painted: the key, the synchronisation and the events that are pending then.
    // With scroll false the caret starts at the top of the view and stays inside it; with scroll
    // true it starts on the last line of the view, so that every move scrolls the editor.
    void caretSync(bool scroll, const char *name) {
        PageEditor *ed = editor();
        const int start = ed->LineCount() - 300;
        ed->setCaret(0, start);
        const long linesOnScreen = ed->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
        const long top = scroll ? start - linesOnScreen + 1 : start;
        ed->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(top));
        ViewRuns runs(*m_window, kShortRuns);
        PaintTrace trace;
        for (int i = 0; i < runs.count(); ++i) {
            // Back to the start when the caret reaches the end of the view (or the text).
            if (ed->caretLine() >= (scroll ? start + 100 : top + linesOnScreen - 2)) {
                ed->setCaret(0, start);
                ed->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                                  static_cast<unsigned long>(top));
            }
            runs.enter(i);
            const int before = ed->caretLine();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            trace.mark("Down");
            runs.time(i, [&] {
                QCoreApplication::sendEvent(ed, &press);
                QCoreApplication::processEvents();
            });
            trace.mark("done");
            if (ed->caretLine() != before + 1 || ed->LastSyncedLine != before + 1)
                Fail(QStringLiteral("the caret or the tree did not follow the Down key"));
        }
        runs.leave();
        runs.print(name, "us");
    }

    void measureCaretSync() {
        caretSync(false, "caret_sync_1m_us");
        caretSync(true, "caret_sync_scrolling_1m_us");
    }

    // A character typed near the end of the text, timed to the window painted; the page becomes
    // modified (its tab icon changes on the first one). Undone afterwards, untimed.
    void measureTyping() { typing("typing_1m_us"); }

    void typing(const char *name) {
        PageEditor *ed = editor();
        const int start = ed->LineCount() - 250;
        ed->setCaret(2, start);
        ed->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(start));
        ViewRuns runs(*m_window, kShortRuns);
        PaintTrace trace;
        for (int i = 0; i < runs.count(); ++i) {
            runs.enter(i);
            trace.mark("type");
            const quint64 changes = ed->changeCount();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            runs.time(i, [&] {
                QCoreApplication::sendEvent(ed, &press);
                QCoreApplication::processEvents();
            });
            if (ed->changeCount() == changes || !ed->isModified())
                Fail(QStringLiteral("the typed character did not change the text"));
        }
        runs.leave();
        while (ed->isUndoAvailable())
            ed->undo();
        Flush();
        runs.print(name, "us");
    }

    // The middle of the text brought into view for the first time, then one page down after
    // another from there by the Page Down key, timed to the window painted: the lines that come
    // into view are shown for the first time (styled and folded then, where the text is
    // highlighted), and the tree follows the caret.
    void measureScrolling() {
        PageEditor *ed = editor();
        const int start = ed->LineCount() / 2;
        Flush();
        const Stopwatch jump;
        ed->setCaret(0, start);
        ed->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(start));
        QCoreApplication::processEvents();
        PrintFigure("show_middle_1m_ms", jump.ms(), "ms");
        ViewRuns runs(*m_window, kShortRuns);
        PaintTrace trace;
        for (int i = 0; i < runs.count(); ++i) {
            runs.enter(i);
            const long top = ed->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            trace.mark("PageDown");
            runs.time(i, [&] {
                QCoreApplication::sendEvent(ed, &press);
                QCoreApplication::processEvents();
            });
            trace.mark("done");
            if (ed->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) <= top)
                Fail(QStringLiteral("Page Down did not scroll the editor"));
        }
        runs.leave();
        runs.print("scroll_page_1m_us", "us");
    }

    // Nodes near the end selected one after another; the editor follows with the key's line at the top.
    void measureSelectNode() {
        PageTree *t = tree();
        const StructureTree &structure = t->structure();
        ViewRuns runs(*m_window, kShortRuns);
        PaintTrace trace;
        for (int i = 0; i < runs.count(); ++i) {
            // Every run a node of its own (the views take turns), each selected from the one before.
            const int node = structure.nodeCount() - 1 - 37 * (i % (41 * runs.views()));
            runs.enter(i);
            trace.mark("select");
            runs.time(i, [&] {
                t->selectNode(node);
                QCoreApplication::processEvents();
            });
            trace.mark("done");
            if (editor()->caretLine() != structure.info(node).LineIndex)
                Fail(QStringLiteral("the editor did not follow node %1").arg(node));
        }
        runs.leave();
        // With it the processor time of the same: what a busy machine does not stretch.
        runs.print("select_node_1m_us", "us");
        // For comparison: the whole window painted once, at once (a node selected far away
        // repaints nearly all of it: tree, editor and both scroll bars).
        ViewRuns repaints(*m_window, kShortRuns);
        for (int i = 0; i < repaints.count(); ++i) {
            repaints.enter(i);
            repaints.time(i, [&] { m_window->repaint(); });
        }
        repaints.leave();
        repaints.print("window_repaint_us", "us");
    }

    // What pumping every 100 lines of a 1,000,000-line text would cost by itself: 10,000 passes
    // of the event loop with nothing to do (the window idle, the page open).
    void measurePumping() {
        Flush();
        const Stopwatch clock;
        for (int i = 0; i < 10000; ++i)
            QCoreApplication::processEvents();
        PrintFigure("pump_10000_idle_ms", clock.ms(), "ms");
    }

    // Save: the text file written, the converter run (taken off), the result checked, the text
    // file deleted.
    void measureSave() {
        const double converter = converterMs(m_text, QString());
        // The converter's runs above rewrote the RBF file: the saves find it as a save would.
        PrintNote(QStringLiteral("scenario converter (save direction): %1 ms, taken off save_1m_ms")
                      .arg(converter, 0, 'f', 2));
        // The converter's runs changed the RBF file behind the page's back: the page takes it as
        // loaded, or the save would ask first.
        m_window->documents().page(0)->RbfPrint = TakeFingerprint(m_rbf);
        // The check after a save converts back with a real converter, which the scenario's
        // converter is not: it is measured on its own below.
        m_window->documents().VerifySave = false;
        QVector<double> runs;
        for (int i = 0; i < kSaveRuns; ++i) {
            Flush();
            const Stopwatch clock;
            const bool saved = m_window->documents().SavePage(0);
            runs << clock.ms() - converter;
            if (!saved)
                Fail(QStringLiteral("the save failed: %1")
                         .arg(m_dialogs.texts(QStringLiteral("error")).join(QStringLiteral("; "))));
        }
        PrintFigure("save_1m_ms", Median(runs), "ms");
        m_window->documents().VerifySave = true;
    }

    // The check that follows every save (setting VerifySave): the RBF file copied into a private
    // folder, converted back by grindle and compared with the saved text. grindle's conversion is
    // part of it; the comparison alone is given too.
    void measureVerifySave() {
        const QString saved = m_text + QStringLiteral(".ready");
        QVector<double> runs;
        for (int i = 0; i < kSaveRuns; ++i) {
            const Stopwatch clock;
            const SaveVerification check = VerifySavedFile(QStringLiteral(KESTREL_GRINDLE), m_rbf, saved);
            runs << clock.ms();
            if (check.outcome != SaveVerification::Outcome::Same)
                Fail(QStringLiteral("the check of the save failed: line %1, %2")
                         .arg(check.line)
                         .arg(check.problem));
        }
        PrintFigure("verify_save_1m_ms", Median(runs), "ms");
        QFile file(saved);
        if (!file.open(QIODevice::ReadOnly))
            Fail(QStringLiteral("cannot read %1").arg(saved));
        const QByteArray text = file.readAll();
        const QByteArray copy(text.constData(), text.size());
        QVector<double> compares;
        for (int i = 0; i < kSaveRuns; ++i) {
            const Stopwatch clock;
            if (FirstDifferingLine(text, copy) != 0)
                Fail(QStringLiteral("the text differs from itself"));
            compares << clock.ms();
        }
        PrintFigure("verify_compare_1m_ms", Median(compares), "ms");
    }

    void measureBaseline() {
        // The prepared text is the file the window opens.
        int items = 0;
        const double ms = OpenWithStockWidgets(m_text + QStringLiteral(".ready"), m_window->size(), items);
        if (ms < 0)
            Fail(QStringLiteral("the comparison could not read the text"));
        PrintNote(QStringLiteral("stock widgets: %1 tree items").arg(items));
        PrintFigure("open_1m_baseline_ms", ms, "ms");
        PrintFigure("open_1m_speedup", ms / m_openMs, "x");
    }

    void printPeak() { PrintFigure("peak_rss_1m_mb", m_peakMb, "MB"); }

    // The window started with the text's RBF file on its command line.
    void measureStartup() {
        MeasureStartup(m_dir.path(), m_rbf, QStringLiteral(KESTREL_SCENARIO_CONVERTER), "1m", m_dialogs);
    }

    // A text five times as long: its open and peak memory against the 1,000,000-line figures
    // (measured the same way), and the caret and typing figures on it. No page is open before.
    void measureScale() {
        const QString rbf = m_dir.filePath(QStringLiteral("huge.rbf"));
        const QString text = m_dir.filePath(QStringLiteral("huge.txt"));
        generate(kScaleLines, rbf, text);
        const double converter = converterMs(rbf, text);
        QVector<double> runs;
        double peakMb = 0;
        for (int run = 0; run < 3; ++run) {
            if (run == 0)
                ResetPeakResident();
            runs << open(rbf, text) - converter;
            checkOpened();
            if (run == 0)
                peakMb = PeakResidentMb();
            if (run < 2)
                close();
        }
        const double openMs = Median(runs);
        PrintFigure("open_5m_ms", openMs, "ms");
        if (m_openMs > 0)
            PrintFigure("open_5m_vs_1m", openMs / m_openMs, "x");
        // In this process, after every other step: what those left in the heap comes on top.
        PrintFigure("peak_rss_5m_mb", peakMb, "MB");
        // The goal's measure: each open in a process of its own, as a user starts the program.
        const QString scenarioConverter = QStringLiteral(KESTREL_SCENARIO_CONVERTER);
        const double fresh1m = FreshOpenPeakMb(m_dir.path(), m_rbf, scenarioConverter);
        const double fresh5m = FreshOpenPeakMb(m_dir.path(), rbf, scenarioConverter);
        PrintFigure("peak_rss_fresh_1m_mb", fresh1m, "MB");
        PrintFigure("peak_rss_fresh_5m_mb", fresh5m, "MB");
        PrintFigure("peak_rss_5m_vs_1m", fresh5m / fresh1m, "x");
        caretSync(false, "caret_sync_5m_us");
        typing("typing_5m_us");
        close();
        QFile::remove(rbf + QStringLiteral(".ready"));
        QFile::remove(text + QStringLiteral(".ready"));
    }

    TFormMain &window() { return *m_window; }
    ScriptedDialogs &dialogs() { return m_dialogs; }
    Page *page() const { return m_window->documents().page(0); }
    PageEditor *editor() const { return page()->editor(); }
    PageTree *tree() const { return page()->tree(); }
    QString dir() const { return m_dir.path(); }

    void checkNoDialogs(const char *step) {
        if (!m_dialogs.calls.isEmpty()) {
            for (const DialogCall &call : m_dialogs.calls)
                PrintNote(QStringLiteral("%1: dialog %2 \"%3\"").arg(step, call.kind, call.text));
            m_dialogs.clear();
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_rbf;
    QString m_text;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<TFormMain> m_window;
    double m_openMs = 0;
    double m_lastOpenCpuMs = 0;
    double m_peakMb = 0;
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    if (RunFreshOpen(app.arguments()))
        return 0;
    PrintNote(QStringLiteral("load average at start: %1").arg(LoadAverage()));

    Scenario s;
    s.generate();
    if (Wanted("grindle"))
        s.measureGrindle();
    s.createWindow();
    if (Wanted("open"))
        s.measureOpen();
    else
        s.open();
    s.checkNoDialogs("open");
    if (Wanted("rebuild"))
        s.measureRebuild();
    if (Wanted("scroll"))
        s.measureScrolling();
    if (Wanted("caret"))
        s.measureCaretSync();
    if (Wanted("node"))
        s.measureSelectNode();
    if (Wanted("typing"))
        s.measureTyping();
    if (Wanted("pump"))
        s.measurePumping();
    s.checkNoDialogs("caret and node");
    if (Wanted("tools"))
        MeasureTools(s.window(), s.dir());
    s.checkNoDialogs("tools");
    if (Wanted("save"))
        s.measureSave();
    s.checkNoDialogs("save");
    if (Wanted("verify"))
        s.measureVerifySave();
    if (Wanted("open"))
        s.printPeak();
    s.close();
    if (Wanted("pathological"))
        MeasurePathologicalTexts(s.window(), s.dir());
    s.checkNoDialogs("pathological");
    // After the 1,000,000-line peak: a second window's open leaves memory to the heap.
    if (Wanted("startup"))
        s.measureStartup();
    if (Wanted("scale"))
        s.measureScale();
    if (Wanted("baseline"))
        s.measureBaseline();
    PrintNote(QStringLiteral("load average at the end: %1").arg(LoadAverage()));
    return 0;
}
