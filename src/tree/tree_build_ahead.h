#pragma once
// A structure tree built on a thread of its own while a text is being loaded: the load hands over
// each piece of UTF-8 text it gives the editor, and the lines are built as they come, so that the
// tree is ready about when the editor has the text. Never reads the editor's buffer: the pieces
// are the worker's own (implicitly shared copies).

#include "tree/structure_tree.h"

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TreeBuildAhead {
public:
    TreeBuildAhead();
    // Stops the worker (at its next line) when the tree was not taken.
    ~TreeBuildAhead();
    TreeBuildAhead(const TreeBuildAhead &) = delete;
    TreeBuildAhead &operator=(const TreeBuildAhead &) = delete;

    // The version of the text the pieces make up, for its user to tell whether the tree is still
    // that of the text (the editor's change count once the load is done, say).
    quint64 textVersion = 0;

    // The next piece of the text. Pieces may end anywhere; lines are split where the editor
    // splits them (CR LF, LF, CR) across piece ends.
    void add(const QByteArray &utf8);
    // The text is complete: waits for the worker and returns the tree of all its lines (a last
    // line that is empty is not a line, as the editor's line list counts).
    StructureTree finish();
    // The same in steps: no more pieces; whether the tree is built, waiting at most ms for it;
    // the tree, once built.
    void endOfText();
    bool waitUntilBuilt(int ms);
    StructureTree take();
    // Lines built so far (any thread).
    int linesBuilt() const { return m_lines.load(std::memory_order_relaxed); }

    // Pieces waiting for the worker at most; add() waits for room beyond that. A few smooth the
    // two threads' pace; more only add to the load's memory peak (half a megabyte each).
    static constexpr size_t kMaxQueued = 4;

private:
    void work();
    // Builds the complete lines of m_carry + piece; what follows the last break stays carried.
    void buildLines(const QByteArray &piece);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_pieces;
    bool m_complete = false;
    bool m_stop = false;
    bool m_built = false;
    std::atomic<int> m_lines{0};
    // Worker's own.
    StructureTreeBuilder m_builder;
    QByteArray m_carry;
    StructureTree m_tree;
    std::thread m_thread;
};
