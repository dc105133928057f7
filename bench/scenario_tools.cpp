#include "scenario_tools.h"

#include "app/main_window.h"
#include "core_inputs.h"
#include "document/page_context.h"
#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "editor/replace_dialog.h"
#include "scenario_figures.h"
#include "support/scripted_dialogs.h"
#include "ucs/ucs_list.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>

#include <cstdio>

namespace {

constexpr int kFindRuns = 9;
constexpr int kReplaceRuns = 3;
constexpr int kUcsLines = 500'000;
constexpr int kUcsLoadRuns = 5;
constexpr int kLookupRuns = 21;

[[noreturn]] void Fail(const QString &why) {
    std::fprintf(stderr, "kestrel-scenario: %s\n", qPrintable(why));
    std::exit(1);
}

ScriptedDialogs &Scripted(TFormMain &window) {
    return static_cast<ScriptedDialogs &>(window.dialogs());
}

// A find that finds nothing: from the caret to the end, then once more from the start, then the
// "not found" message (answered at once).
void MeasureFindMiss(TFormMain &window) {
    FindReplace &tools = window.findReplace();
    tools.FindD->setFindText(QStringLiteral("no such key anywhere"));
    tools.FindD->setMatchCase(false);
    tools.FindD->setWholeWord(false);
    PageEditor *editor = window.context().CurrentEditor;
    editor->setCaret(0, editor->LineCount() / 2);
    QVector<double> runs;
    for (int i = 0; i < kFindRuns; ++i) {
        QCoreApplication::processEvents();
        Scripted(window).clear();
        const Stopwatch clock;
        tools.FindDFind();
        runs << clock.ms();
        if (Scripted(window).texts(QStringLiteral("info")).size() != 1)
            Fail(QStringLiteral("the find did not report that it found nothing"));
    }
    Scripted(window).clear();
    PrintFigure("find_miss_1m_ms", Median(runs), "ms");
}

// Replace All of a frequent key through the replace dialog's button; undone after each run,
// untimed.
void MeasureReplaceAll(TFormMain &window) {
    FindReplace &tools = window.findReplace();
    PageEditor *editor = window.context().CurrentEditor;
    const QString before = editor->text8();
    const qsizetype occurrences = before.count(QStringLiteral("health"));
    tools.RD->setFindText(QStringLiteral("health"));
    tools.RD->setReplaceText(QStringLiteral("vigour"));
    tools.RD->setMatchCase(true);
    auto *button = tools.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll"));
    if (!button)
        Fail(QStringLiteral("the replace dialog has no Replace All button"));
    QVector<double> runs;
    for (int i = 0; i < kReplaceRuns; ++i) {
        editor->setCaret(0, 10);
        QCoreApplication::processEvents();
        const Stopwatch clock;
        button->click();
        QCoreApplication::processEvents();
        runs << clock.ms();
        if (editor->text8().count(QStringLiteral("vigour")) != occurrences)
            Fail(QStringLiteral("replace all did not replace every occurrence"));
        editor->undo();
        QCoreApplication::processEvents();
    }
    if (editor->text8() != before)
        Fail(QStringLiteral("undo did not bring the text back"));
    PrintNote(QStringLiteral("replace all: %1 occurrences").arg(occurrences));
    PrintFigure("replace_all_1m_ms", Median(runs), "ms");
}

// A 500,000-line UCS file loaded by the list's reload; then a selected number that no line
// defines looked up (the whole table scanned; "No match!" shown).
void MeasureStringTables(TFormMain &window, const QString &dir) {
    const QString path = dir + QStringLiteral("/strings.ucs");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(GenerateUcsFile(kUcsLines)) < 0)
        Fail(QStringLiteral("cannot write %1").arg(path));
    file.close();
    UcsList::AddEntry(window.CBUCS, path);
    QVector<double> loads;
    for (int i = 0; i < kUcsLoadRuns; ++i) {
        QCoreApplication::processEvents();
        const Stopwatch clock;
        window.ucsList().ReloadStringTables();
        loads << clock.ms();
        window.CBUCS->hidePopup();
        if (window.StringTableLines.size() != kUcsLines)
            Fail(QStringLiteral("the table has %1 lines").arg(window.StringTableLines.size()));
    }
    PrintFigure("ucs_load_500k_ms", Median(loads), "ms");

    // The selection is a number of the text: no key of the table has three digits. Selected as a
    // double click would, start and then length, so the caret synchronisation runs the lookup.
    PageEditor *editor = window.context().CurrentEditor;
    const QString text = editor->text8();
    const qsizetype colon = text.indexOf(QStringLiteral("health: "), text.size() - 100000);
    qsizetype start = colon + 8;
    while (start < text.size() && !text.at(start).isDigit())
        ++start;
    qsizetype end = start;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    if (colon < 0 || end - start < 1 || end - start > 3)
        Fail(QStringLiteral("no number to look up near the end of the text"));
    QVector<double> lookups;
    for (int i = 0; i < kLookupRuns; ++i) {
        editor->setSelectionStart(static_cast<int>(start));
        QCoreApplication::processEvents();
        const Stopwatch clock;
        editor->setSelectionLength(static_cast<int>(end - start));
        QCoreApplication::processEvents();
        lookups << clock.ms();
        const HintPopup *hint = window.feedback().hintWindow();
        if (editor->selectedText8() != text.mid(start, end - start) || !hint ||
            hint->text() != QLatin1String("No match!"))
            Fail(QStringLiteral("the lookup did not end in \"No match!\""));
    }
    PrintFigure("ucs_lookup_miss_500k_ms", Median(lookups), "ms");
    editor->setSelectionStart(0);
}

} // namespace

void MeasureTools(TFormMain &window, const QString &dir) {
    MeasureFindMiss(window);
    MeasureReplaceAll(window);
    MeasureStringTables(window, dir);
}
