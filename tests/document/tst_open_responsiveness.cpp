// The window stays alive while a 1,000,000-line text opens: the load into the editor and the
// tree build let pending events run every 15 ms or so, so no event waits much longer than that.
// This checks that the pumping is there throughout, by counting passes of the event loop against
// the lines read: pumping goes by time, so a busy machine only gives more passes, never fewer. How
// fast the open is, and the longest gap, belong to the scenario in bench/, not to a test.

#include "document/document_fixture.h"

#include "editor/page_editor.h"
#include "support/event_gap_probe.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QTest>

namespace {

// Even a fast machine needs well over 75 ms of work (five pump intervals) for a million lines.
constexpr int kLinesPerPassAtMost = 200000;

// 100,000 blocks of ten lines: nested tables, values, a closing line of each depth, a plain line.
QByteArray MillionLines() {
    const QByteArray block = "| unit: {\r\n"
                             "| | health: 100;\r\n"
                             "| | weapons: {\r\n"
                             "| | | name: \"Rail gun\";\r\n"
                             "| | | range: 2.5;\r\n"
                             "| | }\r\n"
                             "| | armor: 7;\r\n"
                             "| }\r\n"
                             "plain line\r\n"
                             "| tail: \"Caf\xe9\";\r\n";
    return block.repeated(100000);
}

} // namespace

class TestOpenResponsiveness : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eventsRunThroughoutAMillionLineOpen();
};

void TestOpenResponsiveness::eventsRunThroughoutAMillionLineOpen() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("million"), MillionLines());
    EventGapProbe probe;
    probe.start();
    f.open(rbf);
    const double wall = probe.stop();
    const double gap = probe.longestCpuGapMs();
    qInfo("longest stretch without events during the open: %.1f ms of the thread's processor time, "
          "%.1f ms on the wall clock (%d passes of the event loop)",
          gap, wall, probe.passes());

    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.editor(0)->LineCount(), 1000000);
    QCOMPARE(f.tree(0)->structure().nodeCount(), 700000);
    QCOMPARE(f.tree(0)->selectedNode(), 0);
    QVERIFY(f.dialogs().calls.isEmpty());
    QVERIFY2(
        probe.passes() >= 1000000 / kLinesPerPassAtMost,
        qPrintable(QStringLiteral("events ran only %1 times while the text opened").arg(probe.passes())));
}

QTEST_MAIN(TestOpenResponsiveness)
#include "tst_open_responsiveness.moc"
