#include "tree/tree_build_ahead.h"

#include "tree/line_splitter.h"

#include <chrono>

TreeBuildAhead::TreeBuildAhead() : m_thread([this] { work(); }) {}

TreeBuildAhead::~TreeBuildAhead() {
    if (m_thread.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
}

void TreeBuildAhead::add(const QByteArray &utf8) {
    if (utf8.isEmpty())
        return;
    {
        // A worker that falls behind (a busy machine) holds the loader back rather than a queue
        // of the whole text.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return m_stop || m_pieces.size() < kMaxQueued; });
        m_pieces.push_back(utf8);
    }
    m_wake.notify_all();
}

StructureTree TreeBuildAhead::finish() {
    endOfText();
    waitUntilBuilt(-1);
    return take();
}

void TreeBuildAhead::endOfText() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_complete = true;
    }
    m_wake.notify_all();
}

bool TreeBuildAhead::waitUntilBuilt(int ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (ms < 0)
        m_wake.wait(lock, [this] { return m_built; });
    else
        m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_built; });
    return m_built;
}

StructureTree TreeBuildAhead::take() {
    if (m_thread.joinable())
        m_thread.join();
    return std::move(m_tree);
}

void TreeBuildAhead::work() {
    for (;;) {
        QByteArray piece;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_complete || !m_pieces.empty(); });
            if (m_stop)
                return;
            if (m_pieces.empty())
                break; // complete, and every piece is built
            piece = std::move(m_pieces.front());
            m_pieces.pop_front();
        }
        m_wake.notify_all();
        buildLines(piece);
    }
    // The last line, without a break after it.
    LineSplitter lines(m_carry);
    QByteArrayView line;
    int index = m_lines.load(std::memory_order_relaxed);
    while (lines.next(line))
        m_builder.addLineUtf8(index++, line);
    m_lines.store(index, std::memory_order_relaxed);
    m_carry.clear();
    m_tree = m_builder.finish();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_built = true;
    }
    m_wake.notify_all();
}

void TreeBuildAhead::buildLines(const QByteArray &piece) {
    // The carry holds no break but perhaps one CR at its end: the search for the last break looks
    // at the new piece and that CR only, so a line longer than many pieces is not searched again
    // with every piece.
    const qsizetype searchFrom = qMax<qsizetype>(0, m_carry.size() - 1);
    QByteArrayView text(piece);
    if (!m_carry.isEmpty()) {
        m_carry.append(piece);
        text = m_carry;
    }
    const auto lastBreak = [&text, searchFrom](qsizetype before) {
        while (before > searchFrom && text[before - 1] != '\n' && text[before - 1] != '\r')
            --before;
        return before > searchFrom ? before : 0;
    };
    // Complete lines end at the last break; a CR at the very end may be the first half of a
    // CR LF whose LF comes with the next piece, so its line waits too.
    qsizetype end = lastBreak(text.size());
    if (end == text.size() && text[end - 1] == '\r')
        end = lastBreak(end - 1);
    LineSplitter lines(text.first(end));
    QByteArrayView line;
    int index = m_lines.load(std::memory_order_relaxed);
    while (lines.next(line)) {
        m_builder.addLineUtf8(index++, line);
        if ((index & 1023) == 0) {
            m_lines.store(index, std::memory_order_relaxed);
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
        }
    }
    m_lines.store(index, std::memory_order_relaxed);
    m_carry = text.sliced(end).toByteArray();
}
