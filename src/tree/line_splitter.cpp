#include "tree/line_splitter.h"

#include <cstring>

void LineSplitter::reset(QByteArrayView text, qsizetype from) {
    m_text = text;
    m_pos = qBound<qsizetype>(0, from, text.size());
    m_nextLf = -1;
}

bool LineSplitter::next(QByteArrayView &line) {
    const char *data = m_text.data();
    const qsizetype size = m_text.size();
    if (m_pos >= size)
        return false;
    if (m_nextLf < m_pos) {
        const auto *lf =
            static_cast<const char *>(memchr(data + m_pos, '\n', static_cast<size_t>(size - m_pos)));
        m_nextLf = lf ? lf - data : size;
        m_examined += (lf ? m_nextLf + 1 : size) - m_pos;
    }
    const auto *cr =
        static_cast<const char *>(memchr(data + m_pos, '\r', static_cast<size_t>(m_nextLf - m_pos)));
    qsizetype end = m_nextLf;
    qsizetype after = m_nextLf < size ? m_nextLf + 1 : size;
    if (cr) {
        end = cr - data;
        after = end + 1 == m_nextLf && m_nextLf < size ? m_nextLf + 1 : end + 1;
    }
    m_examined += (cr ? end + 1 : m_nextLf) - m_pos;
    line = QByteArrayView(data + m_pos, end - m_pos);
    m_pos = after;
    return true;
}
