#include "platform/ini_file.h"

#include "platform/cp1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <utility>

namespace {

// The longest value a read returns (the 2,048-byte buffer of the Windows reads).
constexpr int kMaxValueLength = 2047;

bool IsIniSpace(QChar c) {
    const char16_t u = c.unicode();
    // White space as the profile functions skip it, plus the old end-of-file mark Ctrl-Z.
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0x1A;
}

QStringView TrimIni(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsIniSpace(text.at(begin)))
        ++begin;
    while (end > begin && IsIniSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString Fold(QStringView name) {
    return TrimIni(name).toString().toCaseFolded();
}

// The name of a section header line, or false when the line is none.
bool SectionName(QStringView line, QStringView &name) {
    const QStringView text = TrimIni(line);
    if (!text.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = text.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return false;
    name = TrimIni(text.mid(1, close - 1));
    return true;
}

// The key name of a key line, or false when the line has no "=".
bool KeyName(QStringView line, QStringView &name, QStringView &value) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    name = TrimIni(line.left(eq));
    value = TrimIni(line.mid(eq + 1));
    return true;
}

QString Unquote(QStringView value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(kMaxValueLength).toString();
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// A line break inside a value would end the line and turn the rest into another key.
QString OneLine(const QString &value) {
    QString text = value;
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

bool ParseIniInteger(const QString &input, int &value) {
    QStringView text(input);
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    quint64 magnitude = 0;
    if (text.startsWith(QLatin1Char('$')) ||
        (text.size() > 2 && text.at(0) == QLatin1Char('0') &&
         (text.at(1) == QLatin1Char('x') || text.at(1) == QLatin1Char('X')))) {
        text = text.mid(text.at(0) == QLatin1Char('$') ? 1 : 2);
        if (text.isEmpty())
            return false;
        for (QChar c : text) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return false;
            magnitude = magnitude * 16 + static_cast<quint64>(digit);
            if (magnitude > 0xFFFFFFFFULL)
                return false;
        }
        // Hexadecimal fills the 32 bits: "$FFFFFFFF" is -1.
        const auto bits = static_cast<quint32>(magnitude);
        value = static_cast<int>(negative ? 0u - bits : bits);
        return true;
    }
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        magnitude = magnitude * 10 + static_cast<quint64>(c.unicode() - '0');
        if (magnitude > 2147483648ULL)
            return false;
    }
    if (!negative && magnitude > 2147483647ULL)
        return false;
    value = negative ? static_cast<int>(-static_cast<qint64>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

namespace {
const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
}

QString DecodeSettingsText(const QByteArray &bytes) {
    // Only the mark makes a file UTF-8: code page 1252 text such as "\xC3\xA9" is valid UTF-8
    // too, and a guess would turn it into another text at the next start.
    if (bytes.startsWith(kUtf8Mark)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return utf8.decode(QByteArrayView(bytes).sliced(kUtf8Mark.size()));
    }
    return DecodeCp1252(bytes);
}

QByteArray EncodeSettingsText(const QString &text) {
    if (FitsCp1252(text)) {
        QByteArray bytes = EncodeCp1252(text);
        // Code page 1252 text that begins with the mark's three characters would read as UTF-8.
        if (!bytes.startsWith(kUtf8Mark))
            return bytes;
    }
    return kUtf8Mark + text.toUtf8();
}

IniFile::IniFile(const QString &path) : m_path(path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QString text = DecodeSettingsText(file.readAll());
        m_lines = text.split(QLatin1Char('\n'));
        // The break after the last line ends it and starts no new line.
        if (!m_lines.isEmpty() && m_lines.last().isEmpty())
            m_lines.removeLast();
        for (QString &line : m_lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
    }
    Reindex();
}

void IniFile::Reindex() {
    m_sections.clear();
    m_sectionIndex.clear();
    int current = -1; // the section the lines belong to; none before the first header
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        QStringView name;
        QStringView value;
        if (SectionName(line, name)) {
            const QString folded = Fold(name);
            if (m_sectionIndex.contains(folded)) {
                current = -1; // a repeated section is not read
            } else {
                current = static_cast<int>(m_sections.size());
                m_sectionIndex.insert(folded, current);
                m_sections.push_back(Section{i, {}});
            }
        } else if (current >= 0 && KeyName(line, name, value)) {
            Section &owner = m_sections[static_cast<size_t>(current)];
            owner.lastKey = i;
            const QString folded = Fold(name);
            if (!owner.keys.contains(folded))
                owner.keys.insert(folded, i);
        }
    }
}

const IniFile::Section *IniFile::FindSection(const QString &section) const {
    const auto it = m_sectionIndex.constFind(Fold(section));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[static_cast<size_t>(*it)];
}

int IniFile::FindKeyLine(const QString &section, const QString &key) const {
    const Section *found = FindSection(section);
    if (!found)
        return -1;
    return found->keys.value(Fold(key), -1);
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const {
    const int line = FindKeyLine(section, key);
    if (line < 0)
        return def;
    QStringView name;
    QStringView value;
    KeyName(m_lines.at(line), name, value);
    return Unquote(value);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const {
    int value = 0;
    return ParseIniInteger(ReadString(section, key, QString()), value) ? value : def;
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const QString newValue = OneLine(value);
    const int line = FindKeyLine(section, key);
    if (line >= 0) {
        QStringView name;
        QStringView oldValue;
        KeyName(m_lines.at(line), name, oldValue);
        m_lines[line] = name.toString() + QLatin1Char('=') + newValue;
        return; // the line structure is unchanged, the index stays valid
    }
    const QString keyLine = TrimIni(key).toString() + QLatin1Char('=') + newValue;
    if (const Section *found = FindSection(section)) {
        m_lines.insert(found->lastKey + 1, keyLine);
    } else {
        m_lines.append(QLatin1Char('[') + TrimIni(section).toString() + QLatin1Char(']'));
        m_lines.append(keyLine);
    }
    Reindex();
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString &section, const QString &key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::Flush() {
    QString text;
    for (const QString &line : std::as_const(m_lines)) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    const QByteArray bytes = EncodeSettingsText(text);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false; // the destructor throws the half-written copy away
    return file.commit();
}
