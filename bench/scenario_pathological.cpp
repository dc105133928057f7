#include "scenario_pathological.h"

#include "app/main_window.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "scenario_figures.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QCoreApplication>
#include <QFile>
#include <QTabWidget>

#include <cstdio>

namespace {

constexpr int kResizeRuns = 5;
constexpr qsizetype kLongLineBytes = 10 * 1024 * 1024;
constexpr int kCrLines = 400'000;

[[noreturn]] void Fail(const QString &why) {
    std::fprintf(stderr, "kestrel-scenario: %s\n", qPrintable(why));
    std::exit(1);
}

void Flush() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Writes text as the scenario converter's prepared output of base.rbf and returns the RBF path.
QString Prepare(const QString &dir, const QString &base, const QByteArray &text) {
    const QString rbf = dir + QLatin1Char('/') + base + QStringLiteral(".rbf");
    QFile ready(dir + QLatin1Char('/') + base + QStringLiteral(".txt.ready"));
    QFile placeholder(rbf);
    if (!ready.open(QIODevice::WriteOnly) || ready.write(text) != text.size() ||
        !placeholder.open(QIODevice::WriteOnly) || placeholder.write("RBF") != 3)
        Fail(QStringLiteral("cannot prepare %1").arg(rbf));
    return rbf;
}

// Opens rbf as the last page; timed from the Open command to the window painted.
double Open(TFormMain &window, const QString &rbf, int &index) {
    Flush();
    const Stopwatch clock;
    window.documents().TBOpenClick(QStringList{rbf});
    QCoreApplication::processEvents();
    window.repaint();
    const double ms = clock.ms();
    index = window.PC->count() - 1;
    Page *page = index >= 0 ? window.documents().page(index) : nullptr;
    if (!page || page->RbfPath != rbf || page->tree()->structure().nodeCount() == 0)
        Fail(QStringLiteral("%1 did not open").arg(rbf));
    return ms;
}

void Close(TFormMain &window, int index) {
    if (!window.documents().ClosePage(index))
        Fail(QStringLiteral("the page did not close"));
    Flush();
}

} // namespace

void MeasurePathologicalTexts(TFormMain &window, const QString &dir) {
    int index = -1;
    // A 10 MB key, its node the first one, selected at the open with the whole key in the editor.
    {
        const QByteArray text = "| " + QByteArray(kLongLineBytes, 'k') + ": 1;\r\n| next: 2;\r\n";
        const QString rbf = Prepare(dir, QStringLiteral("long line"), text);
        PrintFigure("open_10mb_line_ms", Open(window, rbf, index), "ms");
        // The window resized and painted, wider and narrower in turn.
        const QSize size = window.size();
        QVector<double> runs;
        for (int i = 0; i < kResizeRuns; ++i) {
            Flush();
            const Stopwatch clock;
            window.resize(size + QSize(i % 2 == 0 ? 40 : 0, 0));
            QCoreApplication::processEvents();
            window.repaint();
            runs << clock.ms();
        }
        window.resize(size);
        PrintFigure("resize_10mb_line_ms", Median(runs), "ms");
        Close(window, index);
    }
    // 400,000 lines broken by CR alone, then the same text with CR LF.
    {
        const QByteArray block = "| unit: {\r| | health: 100;\r| | name: \"Rail gun\";\r| }\r";
        const QByteArray text = block.repeated(kCrLines / 4);
        PrintFigure("open_400k_cr_lines_ms", Open(window, Prepare(dir, QStringLiteral("cr"), text), index),
                    "ms");
        Close(window, index);
        QByteArray crlf = text;
        crlf.replace("\r", "\r\n");
        PrintFigure("open_400k_crlf_lines_ms",
                    Open(window, Prepare(dir, QStringLiteral("crlf"), crlf), index), "ms");
        Close(window, index);
    }
}
