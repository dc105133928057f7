#include "search/key_path.h"

#include "platform/cp1252.h"
#include "tree/line_grammar.h"

void KeyPathTracker::feed(QByteArrayView line) {
    // The byte forms of the grammar look only at ASCII, which code page 1252 shares with UTF-8.
    const int depth = LineDepthUtf8(line);
    if (depth == 0) {
        m_length = 0;
        return;
    }
    LineKeyUtf8(line, m_key);
    if (m_key.isEmpty()) {
        // A closing line stands at the depth of the table it closes: its path is that table's.
        m_length = qMin<qsizetype>(m_keys.size(), depth);
        return;
    }
    const qsizetype parents = qMin<qsizetype>(m_keys.size(), depth - 1);
    m_keys.resize(parents);
    m_keys.append(m_key);
    m_length = m_keys.size();
}

QStringList KeyPathTracker::path() const {
    QStringList keys;
    keys.reserve(m_length);
    for (qsizetype i = 0; i < m_length; ++i)
        keys << DecodeCp1252(m_keys.at(i));
    return keys;
}

QString JoinKeyPath(const QStringList &keys) {
    return keys.join(QStringLiteral(" / "));
}
