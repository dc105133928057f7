#include "platform/ini_file.h"

#include "platform/cp1252.h"
#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

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

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Code page 1252 unless a character needs more; also UTF-8 when the text itself begins with what
// the mark's bytes read as in code page 1252, which would be taken for the mark when read back.
bool NeedsUtf8(bool fitsCp1252, QStringView start) {
    return !fitsCp1252 || start.startsWith(u"\u00EF\u00BB\u00BF");
}

// The folded name's place in a sorted (hash, position) index.
size_t NameHash(const QString &folded) {
    return qHash(folded, size_t(0));
}

using HashIndex = std::vector<std::pair<size_t, int>>; // (hash of the folded name, position), sorted

// The positions whose name hash is hash, in ascending order.
std::pair<HashIndex::const_iterator, HashIndex::const_iterator> Candidates(const HashIndex &index,
                                                                           size_t hash) {
    const auto lower = std::lower_bound(index.cbegin(), index.cend(), std::make_pair(hash, INT_MIN));
    auto upper = lower;
    while (upper != index.cend() && upper->first == hash)
        ++upper;
    return {lower, upper};
}

} // namespace

QString DecodeSettingsText(const QByteArray &bytes) {
    // The mark decides, never the bytes: "\xC3\xA9" is "Ã©" in code page 1252 and "é" in UTF-8.
    if (bytes.startsWith(kUtf8Mark))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    return DecodeCp1252(bytes);
}

QByteArray EncodeSettingsText(const QString &text) {
    if (!NeedsUtf8(FitsCp1252(text), text))
        return EncodeCp1252(text);
    return QByteArray(kUtf8Mark) + text.toUtf8();
}

struct IniFile::Data {
    struct Section {
        int header = -1;  // line of its header in the file; -1 for a section added by a write
        int end = 0;      // one past its last line in the file
        int lastKey = -1; // its last key line in the file, or its header when it has none
        bool indexed = false;
        HashIndex keys;                 // key lines of the file: (hash of the folded name, line)
        QString headerText;             // of an added section
        QStringList added;              // key lines added by writes, in order; they follow lastKey
        QHash<QString, int> addedIndex; // folded name -> first added line of that name
    };
    // Where a key's line is: in the file (line), or among the added lines (added).
    struct KeyRef {
        int line = -1;
        int added = -1;
    };

    QString path;
    QString text;                              // the file as read
    std::vector<qsizetype> lineStart;          // start of every line in text, then text.size()
    std::vector<int> headers;                  // every section header line, in file order
    HashIndex headerIndex;                     // (hash of the folded name, position in headers)
    std::vector<Section> sections;             // the sections read or written so far
    QHash<QString, int> sectionOf;             // folded name -> index into sections, -1: none
    std::vector<int> appended;                 // sections added at the end, in order
    std::unordered_map<int, QString> replaced; // line of the file -> its new text
    qint64 examined = 0;

    int lineCount() const { return static_cast<int>(lineStart.size()) - 1; }

    // A line of the file as read, without its line break.
    QStringView fileLine(int i) const {
        const qsizetype begin = lineStart[size_t(i)];
        qsizetype end = lineStart[size_t(i) + 1];
        if (end > begin && text.at(end - 1) == QLatin1Char('\n'))
            --end;
        if (end > begin && text.at(end - 1) == QLatin1Char('\r'))
            --end;
        return QStringView(text).mid(begin, end - begin);
    }

    // A line of the file as it will be written.
    QStringView currentLine(int i) const {
        const auto it = replaced.find(i);
        return it == replaced.end() ? fileLine(i) : QStringView(it->second);
    }

    void load(const QByteArray &bytes) {
        text = DecodeSettingsText(bytes);
        lineStart.push_back(0);
        const QChar *chars = text.constData();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (chars[i] == QLatin1Char('\n'))
                lineStart.push_back(i + 1);
        }
        // The break after the last line ends it and starts no new line.
        if (lineStart.back() != text.size())
            lineStart.push_back(text.size());
        for (int i = 0; i < lineCount(); ++i) {
            ++examined;
            QStringView name;
            if (SectionName(fileLine(i), name)) {
                headerIndex.emplace_back(NameHash(Fold(name)), static_cast<int>(headers.size()));
                headers.push_back(i);
            }
        }
        std::sort(headerIndex.begin(), headerIndex.end());
    }

    // The section of that name (the first of them), or -1; looked up once per name.
    int findSection(const QString &name) {
        const QString folded = Fold(name);
        const auto cached = sectionOf.constFind(folded);
        if (cached != sectionOf.cend())
            return *cached;
        int found = -1;
        const auto [first, last] = Candidates(headerIndex, NameHash(folded));
        for (auto it = first; it != last && found < 0; ++it) {
            ++examined;
            QStringView headerName;
            const int position = it->second;
            SectionName(fileLine(headers[size_t(position)]), headerName);
            if (Fold(headerName) == folded) {
                Section section;
                section.header = headers[size_t(position)];
                section.end =
                    size_t(position) + 1 < headers.size() ? headers[size_t(position) + 1] : lineCount();
                section.lastKey = section.header;
                found = static_cast<int>(sections.size());
                sections.push_back(std::move(section));
            }
        }
        sectionOf.insert(folded, found);
        return found;
    }

    // The key lines of a section of the file, indexed when it is first looked into.
    void indexKeys(Section &section) {
        if (section.indexed)
            return;
        section.indexed = true;
        for (int i = section.header + 1; i < section.end; ++i) {
            ++examined;
            QStringView name;
            QStringView value;
            if (KeyName(fileLine(i), name, value)) {
                section.lastKey = i;
                section.keys.emplace_back(NameHash(Fold(name)), i);
            }
        }
        std::sort(section.keys.begin(), section.keys.end());
    }

    KeyRef findKey(Section &section, const QString &key) {
        indexKeys(section);
        const QString folded = Fold(key);
        KeyRef ref;
        const auto [first, last] = Candidates(section.keys, NameHash(folded));
        for (auto it = first; it != last; ++it) {
            ++examined;
            QStringView name;
            QStringView value;
            KeyName(fileLine(it->second), name, value);
            if (Fold(name) == folded) {
                ref.line = it->second;
                return ref;
            }
        }
        ref.added = section.addedIndex.value(folded, -1);
        return ref;
    }

    static void addKeyLine(Section &section, const QString &line) {
        QStringView name;
        QStringView value;
        KeyName(line, name, value);
        const QString folded = Fold(name);
        if (!section.addedIndex.contains(folded))
            section.addedIndex.insert(folded, static_cast<int>(section.added.size()));
        section.added.append(line);
    }

    // Every line as it will be written, in order.
    template <typename Take> void forEachLine(Take take) const {
        std::unordered_map<int, const Section *> addedAfter;
        for (const Section &section : sections) {
            if (section.header >= 0 && !section.added.isEmpty())
                addedAfter.emplace(section.lastKey, &section);
        }
        for (int i = 0; i < lineCount(); ++i) {
            take(currentLine(i));
            const auto it = addedAfter.find(i);
            if (it != addedAfter.end()) {
                for (const QString &line : it->second->added)
                    take(QStringView(line));
            }
        }
        for (int index : appended) {
            const Section &section = sections[size_t(index)];
            take(QStringView(section.headerText));
            for (const QString &line : section.added)
                take(QStringView(line));
        }
    }
};

IniFile::IniFile(const QString &path) : d(std::make_unique<Data>()) {
    d->path = path;
    QFile file;
    // Only a regular file: a FIFO or a device in its place would block the start.
    d->load(OpenRegularFile(file, path) ? file.readAll() : QByteArray());
}

IniFile::~IniFile() = default;

qint64 IniFile::linesExamined() const {
    return d->examined;
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const {
    const int index = d->findSection(section);
    if (index < 0)
        return def;
    Data::Section &found = d->sections[size_t(index)];
    const Data::KeyRef ref = d->findKey(found, key);
    QStringView line;
    if (ref.line >= 0)
        line = d->currentLine(ref.line);
    else if (ref.added >= 0)
        line = found.added.at(ref.added);
    else
        return def;
    QStringView name;
    QStringView value;
    KeyName(line, name, value);
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
    const int index = d->findSection(section);
    if (index >= 0) {
        Data::Section &found = d->sections[size_t(index)];
        const Data::KeyRef ref = d->findKey(found, key);
        QStringView name;
        QStringView oldValue;
        if (ref.line >= 0) {
            KeyName(d->currentLine(ref.line), name, oldValue);
            d->replaced[ref.line] = name.toString() + QLatin1Char('=') + newValue;
        } else if (ref.added >= 0) {
            QString &line = found.added[ref.added];
            KeyName(line, name, oldValue);
            line = name.toString() + QLatin1Char('=') + newValue;
        } else {
            Data::addKeyLine(found, TrimIni(key).toString() + QLatin1Char('=') + newValue);
        }
        return;
    }
    Data::Section added;
    added.indexed = true;
    added.headerText = QLatin1Char('[') + TrimIni(section).toString() + QLatin1Char(']');
    Data::addKeyLine(added, TrimIni(key).toString() + QLatin1Char('=') + newValue);
    const int newIndex = static_cast<int>(d->sections.size());
    d->sections.push_back(std::move(added));
    d->appended.push_back(newIndex);
    d->sectionOf.insert(Fold(section), newIndex);
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString &section, const QString &key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::Flush() {
    // Written in pieces, so that a big file is never held twice more in memory.
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    const auto inPieces = [this](const std::function<bool(const QString &piece)> &take) {
        QString piece;
        bool going = true;
        d->forEachLine([&](QStringView line) {
            if (!going)
                return;
            piece.append(line);
            piece.append(QLatin1String("\r\n"));
            if (piece.size() >= kPiece) {
                going = take(piece);
                piece.clear();
            }
        });
        return going && (piece.isEmpty() || take(piece));
    };
    bool fits = true;
    QString start;
    inPieces([&](const QString &piece) {
        if (start.isEmpty())
            start = piece.left(3);
        fits = FitsCp1252(piece);
        return fits;
    });
    const bool utf8 = NeedsUtf8(fits, start);
    // A FIFO or a device in the file's place (or at the end of its link) is not replaced by one:
    // the save file would be renamed over it.
    if (QFileInfo::exists(d->path) && !IsRegularFile(d->path))
        return false;
    QSaveFile file(d->path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (utf8 && file.write(kUtf8Mark, 3) != 3)
        return false;
    const bool written = inPieces([&](const QString &piece) {
        const QByteArray bytes = utf8 ? piece.toUtf8() : EncodeCp1252(piece);
        return file.write(bytes) == bytes.size();
    });
    if (!written)
        return false; // the destructor throws the half-written copy away
    return file.commit();
}
