// libFuzzer target: the settings file. The input is a file as found on disk,
// then (after a zero byte) writes as records separated by 0x1E, each record
// "section 0x1F key 0x1F value [0x1F kind]" with kind "i" (integer) or "b"
// (boolean), else a string. Properties, by the profile-file rules:
// - after each write, and after a flush and a fresh read of the file, the key
//   reads as the value written would read from a file: line breaks became
//   blanks, surrounding white space and a matching pair of quotes are gone,
//   at most 2,047 characters;
// - every key that could be read before and was not written reads the same
//   afterwards, and so does every key that was absent.
// Names that a profile file cannot hold (a line break in either, "=" in a key
// or a key that would look like a section header) are not written.
#include "fuzz_check.h"
#include "platform/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

QTemporaryDir *g_dir = nullptr;

// Never a read's result: reads stop at line breaks.
const QString kAbsent = QStringLiteral("\n(absent)\n");

bool IniSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0x1A;
}

QString Trim(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IniSpace(text.at(begin)))
        ++begin;
    while (end > begin && IniSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString Fold(const QString &name) {
    return Trim(name).toCaseFolded();
}

// What a read gives for a value that was written.
QString AsRead(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(2047);
}

bool Writable(const QString &section, const QString &key) {
    const auto breaks = [](const QString &s) {
        return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
    };
    return !breaks(section) && !breaks(key) && !key.contains(QLatin1Char('=')) &&
           !Trim(key).startsWith(QLatin1Char('['));
}

struct Name {
    QString section;
    QString key;
    bool operator==(const Name &other) const {
        return Fold(section) == Fold(other.section) && Fold(key) == Fold(other.key);
    }
};

// Names the file's own lines suggest, with the section they stand under.
std::vector<Name> NamesIn(const QString &text) {
    std::vector<Name> names;
    QString section;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = Trim(line);
        const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
        if (trimmed.startsWith(QLatin1Char('[')) && close > 0) {
            section = trimmed.mid(1, close - 1);
        } else if (line.contains(QLatin1Char('='))) {
            names.push_back(Name{section, line.left(line.indexOf(QLatin1Char('=')))});
            if (names.size() >= 64)
                break;
        }
    }
    return names;
}

struct Write {
    Name name;
    QString value;
    char kind;
};

std::vector<Write> WritesIn(const QByteArray &bytes) {
    std::vector<Write> writes;
    for (const QByteArray &record : bytes.split('\x1E')) {
        const QList<QByteArray> fields = record.split('\x1F');
        if (fields.size() < 3)
            continue;
        Write write{Name{QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1))},
                    QString::fromUtf8(fields.at(2)), fields.size() > 3 ? fields.at(3).at(0) : 's'};
        if (Writable(write.name.section, write.name.key))
            writes.push_back(std::move(write));
        if (writes.size() >= 32)
            break;
    }
    return writes;
}

QString Read(const IniFile &ini, const Name &name) {
    return ini.ReadString(name.section, name.key, kAbsent);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // Every run flushes the file, and a flush syncs it to disk: keep it in memory where that is free.
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    g_dir = shm ? new QTemporaryDir(QStringLiteral("/dev/shm/kestrel-fuzz-XXXXXX")) : new QTemporaryDir;
    std::atexit([] { delete g_dir; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype zero = input.indexOf('\0');
    const QByteArray fileBytes = zero >= 0 ? input.left(zero) : input;
    const std::vector<Write> writes = WritesIn(zero >= 0 ? input.mid(zero + 1) : QByteArray());

    const QString path = g_dir->filePath(QStringLiteral("Kestrelbench.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(fileBytes) == fileBytes.size());
    }

    std::vector<Name> names = NamesIn(DecodeSettingsText(fileBytes));
    for (const Write &write : writes)
        names.push_back(write.name);
    std::vector<QString> before;
    IniFile ini(path);
    for (const Name &name : names)
        before.push_back(Read(ini, name));

    // The value each written name reads as, last write first.
    std::vector<std::pair<Name, QString>> written;
    for (const Write &write : writes) {
        QString expected;
        if (write.kind == 'i') {
            const int number = write.value.toInt();
            ini.WriteInteger(write.name.section, write.name.key, number);
            FUZZ_CHECK(ini.ReadInteger(write.name.section, write.name.key, number ^ 1) == number);
            expected = QString::number(number);
        } else if (write.kind == 'b') {
            const bool flag = !write.value.isEmpty();
            ini.WriteBool(write.name.section, write.name.key, flag);
            FUZZ_CHECK(ini.ReadBool(write.name.section, write.name.key, !flag) == flag);
            expected = flag ? QStringLiteral("1") : QStringLiteral("0");
        } else {
            ini.WriteString(write.name.section, write.name.key, write.value);
            expected = AsRead(write.value);
        }
        FUZZ_CHECK(Read(ini, write.name) == expected);
        written.insert(written.begin(), {write.name, expected});
    }

    const auto check = [&](const IniFile &file) {
        for (size_t i = 0; i < names.size(); ++i) {
            QString expected = before[i];
            for (const auto &[name, value] : written) {
                if (name == names[i]) {
                    expected = value;
                    break;
                }
            }
            FUZZ_CHECK(Read(file, names[i]) == expected);
        }
    };
    check(ini);
    FUZZ_CHECK(ini.Flush());
    check(IniFile(path));
    return 0;
}
