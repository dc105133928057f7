// The background search against the stand-in converter: its hits are those of a plain search over
// the converted texts, it converts in a private folder only, the cache spares the converter until a
// file changes, a refused file is reported with the converter's words, Cancel leaves nothing behind,
// and open pages are searched in their editor's text.

#include "search/find_in_files.h"
#include "search/text_cache.h"
#include "tree/line_grammar.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

const QString Grindle = QStringLiteral(GRINDLE_PATH);

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Convert(const QString &path) {
    return QProcess::execute(Grindle, {QStringLiteral("-q"), QStringLiteral("-i"), path}) == 0;
}

// An RBF file made from text; the text goes again.
bool MakeRbf(const QString &rbfPath, const QByteArray &text) {
    const QString textPath = rbfPath.left(rbfPath.size() - 4) + QStringLiteral(".txt");
    const bool made = WriteFile(textPath, text) && Convert(textPath);
    QFile::remove(textPath);
    return made && QFileInfo(rbfPath).size() > 0;
}

QByteArray Generated(int lines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("g.txt"));
    QProcess::execute(Grindle, {QStringLiteral("--generate"), QString::number(lines), path});
    return ReadFile(path);
}

QStringList FilesBelow(const QString &folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

SearchQuery Query(const QString &text, SearchQuery::Where where, bool matchCase, bool wholeWord, bool regex) {
    SearchQuery query;
    query.text = text;
    query.where = where;
    query.matchCase = matchCase;
    query.wholeWord = wholeWord;
    query.regularExpression = regex;
    return query;
}

// (file, line) -> matches in the line
using Hits = std::map<std::pair<QString, int>, int>;

struct Outcome {
    QList<FileResult> results;
    bool cancelled = false;
    bool ended = false;
    Hits hits(const QString &folder) const {
        Hits out;
        for (const FileResult &result : results)
            for (const SearchHit &hit : result.hits)
                out[{QDir(folder).relativeFilePath(result.path), hit.line}] = int(hit.spans.size());
        return out;
    }
    const FileResult *of(const QString &path) const {
        for (const FileResult &result : results)
            if (result.path == path)
                return &result;
        return nullptr;
    }
};

Outcome Search(FindInFiles &search, const FindInFiles::Request &request) {
    Outcome outcome;
    QEventLoop loop;
    QObject::connect(&search, &FindInFiles::fileSearched, &loop,
                     [&outcome](const FileResult &result) { outcome.results << result; });
    QObject::connect(&search, &FindInFiles::finished, &loop, [&](bool cancelled) {
        outcome.cancelled = cancelled;
        outcome.ended = true;
        loop.quit();
    });
    if (!search.start(request))
        return outcome;
    if (!outcome.ended)
        loop.exec();
    return outcome;
}

// The plain search the results must equal: every converted text read line by line, the query
// written as one regular expression, keys and values split as the line grammar splits them.
Hits PlainSearch(const QMap<QString, QByteArray> &texts, const SearchQuery &query) {
    QString pattern = query.regularExpression ? query.text : QRegularExpression::escape(query.text);
    if (query.wholeWord)
        pattern = QStringLiteral("(?<![\\w])(?:%1)(?![\\w])").arg(pattern);
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (!query.matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    const QRegularExpression expression(pattern, options);
    Hits hits;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        const QStringList lines = QString::fromLatin1(it.value()).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            QString line = lines.at(i);
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            QString subject = line;
            if (query.where == SearchQuery::Where::Keys)
                subject = SplitKeyValue(line).key;
            else if (query.where == SearchQuery::Where::Values)
                subject = line.contains(QLatin1Char(':')) ? line.section(QLatin1Char(':'), 1)
                                                          : TrimBlanks(line).remove(QStringLiteral("| "));
            int count = 0;
            for (QRegularExpressionMatchIterator m = expression.globalMatch(subject); m.hasNext();)
                count += m.next().capturedLength() > 0;
            if (count > 0)
                hits[{it.key(), i}] = count;
        }
    }
    return hits;
}

class FindInFilesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        data = dir.filePath(QStringLiteral("My Data \u00e4"));
        temporary = dir.filePath(QStringLiteral("tmp"));
        ASSERT_TRUE(QDir().mkpath(temporary));
        cache = std::make_shared<TextCache>(dir.filePath(QStringLiteral("cache")));
    }

    // Generated files of several sizes, one with words of its own, some in a subfolder.
    void MakeFolder() {
        for (int i = 0; i < 10; ++i) {
            const QString name =
                (i % 3 == 0 ? QStringLiteral("sub/unit %1.rbf") : QStringLiteral("unit %1.rbf")).arg(i);
            ASSERT_TRUE(MakeRbf(data + QLatin1Char('/') + name, Generated(40 + 37 * i)));
        }
        ASSERT_TRUE(MakeRbf(data + QStringLiteral("/special.rbf"),
                            "RBF file: special.rbf\n{\n| weapons: {\n| | primary: {\n"
                            "| | | damage: 12101;\n| | | label: \"Damage_Max damage\";\n| | }\n| }\n}\n"));
    }

    FindInFiles::Request Request(const SearchQuery &query) const {
        FindInFiles::Request request;
        request.query = query;
        request.files = ListFiles();
        request.converterPath = Grindle;
        request.cache = cache;
        request.conversions = 2;
        request.temporaryParent = temporary;
        return request;
    }

    QStringList ListFiles() const {
        QStringList files;
        for (const QString &name : FilesBelow(data))
            files << QDir(data).absoluteFilePath(name);
        return files;
    }

    QMap<QString, QByteArray> ConvertedTexts() const {
        QMap<QString, QByteArray> texts;
        QTemporaryDir reference;
        for (const QString &name : FilesBelow(data)) {
            const QString copy = reference.filePath(name);
            QDir().mkpath(QFileInfo(copy).path());
            QFile::copy(QDir(data).filePath(name), copy);
            Convert(copy);
            texts.insert(name, ReadFile(copy.left(copy.size() - 4) + QStringLiteral(".txt")));
        }
        return texts;
    }

    QTemporaryDir dir;
    QString data;
    QString temporary;
    std::shared_ptr<TextCache> cache;
};

TEST_F(FindInFilesTest, HitsEqualAPlainSearchOverTheConvertedTexts) {
    MakeFolder();
    const QStringList before = FilesBelow(data);
    const QMap<QString, QByteArray> texts = ConvertedTexts();
    using W = SearchQuery::Where;
    const QList<SearchQuery> queries = {
        Query("damage", W::Both, false, false, false),
        Query("Damage", W::Both, true, false, false),
        Query("damage", W::Both, false, true, false),
        Query("ammo", W::Keys, false, true, false),
        Query("true", W::Values, false, false, false),
        Query("\\b9\\d\\d\\b", W::Values, false, false, true),
        Query("^ *turn_\\w+$", W::Keys, false, false, true),
        Query("RBF file", W::Both, true, false, false),
    };
    int nonEmpty = 0;
    for (const SearchQuery &query : queries) {
        SCOPED_TRACE(query.text.toStdString());
        FindInFiles search;
        const Outcome outcome = Search(search, Request(query));
        ASSERT_TRUE(outcome.ended);
        EXPECT_FALSE(outcome.cancelled);
        EXPECT_EQ(outcome.results.size(), before.size());
        const Hits expected = PlainSearch(texts, query);
        EXPECT_EQ(outcome.hits(data), expected);
        nonEmpty += !expected.empty();
        for (const FileResult &result : outcome.results)
            EXPECT_TRUE(result.problem.isEmpty()) << result.problem.toStdString();
    }
    EXPECT_EQ(nonEmpty, queries.size()); // every query found something to compare
    // The user's folder holds what it held; the private folder is gone.
    EXPECT_EQ(FilesBelow(data), before);
    EXPECT_TRUE(FilesBelow(temporary).isEmpty());
    EXPECT_TRUE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // The key path of a hit, from the converted text.
    FindInFiles search;
    const Outcome outcome = Search(search, Request(Query("12101", W::Values, false, false, false)));
    const FileResult *special = outcome.of(data + QStringLiteral("/special.rbf"));
    ASSERT_TRUE(special);
    ASSERT_EQ(special->hits.size(), 1);
    EXPECT_EQ(special->hits.first().keyPath, QStringLiteral("weapons / primary / damage"));
}

TEST_F(FindInFilesTest, TheCacheSparesTheConverterUntilAFileChanges) {
    MakeFolder();
    const SearchQuery query = Query("changed_value", SearchQuery::Where::Both, false, false, false);
    {
        FindInFiles search;
        const Outcome first = Search(search, Request(query));
        for (const FileResult &result : first.results)
            EXPECT_EQ(result.source, FileResult::Source::Converter);
    }
    // A converter that cannot run: whatever is searched now comes from the cache.
    FindInFiles::Request request = Request(query);
    request.converterPath = dir.filePath(QStringLiteral("no converter"));
    {
        FindInFiles search;
        const Outcome second = Search(search, request);
        ASSERT_EQ(second.results.size(), ListFiles().size());
        for (const FileResult &result : second.results)
            EXPECT_EQ(result.source, FileResult::Source::Cache) << result.path.toStdString();
    }
    // A file changed after the search (same size or not, a new time) is converted again.
    const QString changed = data + QStringLiteral("/unit 1.rbf");
    ASSERT_TRUE(MakeRbf(changed, "RBF file: unit 1.rbf\n{\n| unit: {\n| | changed_value: 1;\n| }\n}\n"));
    QFile file(changed);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    file.close();
    FindInFiles search;
    const Outcome third = Search(search, Request(query));
    const FileResult *result = third.of(changed);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->source, FileResult::Source::Converter);
    ASSERT_EQ(result->hitCount, 1);
    EXPECT_EQ(result->hits.first().keyPath, QStringLiteral("unit / changed_value"));
    for (const FileResult &other : third.results) {
        if (other.path == changed)
            continue;
        EXPECT_EQ(other.source, FileResult::Source::Cache);
    }
}

TEST_F(FindInFilesTest, ARefusedFileIsListedWithTheConvertersWords) {
    ASSERT_TRUE(MakeRbf(data + QStringLiteral("/good.rbf"), Generated(50)));
    ASSERT_TRUE(WriteFile(data + QStringLiteral("/broken.rbf"), "not an rbf at all"));
    FindInFiles search;
    const Outcome outcome =
        Search(search, Request(Query("damage", SearchQuery::Where::Both, false, false, false)));
    ASSERT_EQ(outcome.results.size(), 2);
    const FileResult *broken = outcome.of(data + QStringLiteral("/broken.rbf"));
    ASSERT_TRUE(broken);
    EXPECT_TRUE(broken->problem.contains(QStringLiteral("exit code 1"))) << broken->problem.toStdString();
    EXPECT_TRUE(broken->problem.contains(QStringLiteral("not an RBF file"))) << broken->problem.toStdString();
    const FileResult *good = outcome.of(data + QStringLiteral("/good.rbf"));
    ASSERT_TRUE(good);
    EXPECT_TRUE(good->problem.isEmpty());
    EXPECT_GT(good->hitCount, 0);
    // Nothing of the refused run is kept.
    EXPECT_FALSE(cache->find(FileStamp::of(data + QStringLiteral("/broken.rbf"))).has_value());
    EXPECT_TRUE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(FindInFilesTest, CancelMidwayLeavesNoTemporaryFile) {
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(MakeRbf(data + QStringLiteral("/u%1.rbf").arg(i), Generated(30 + i)));
    // A converter that takes its time, so that the search is cancelled with conversions under way.
    const QString slow = dir.filePath(QStringLiteral("slow converter"));
    ASSERT_TRUE(
        WriteFile(slow, QByteArray("#!/bin/sh\nsleep 0.4\nexec '") + Grindle.toUtf8() + "' \"$@\"\n"));
    QFile::setPermissions(slow, QFile::permissions(slow) | QFileDevice::ExeOwner);
    FindInFiles::Request request = Request(Query("damage", SearchQuery::Where::Both, false, false, false));
    request.converterPath = slow;
    FindInFiles search;
    Outcome outcome;
    QEventLoop loop;
    bool copied = false;
    QObject::connect(&search, &FindInFiles::fileSearched, &loop,
                     [&](const FileResult &r) { outcome.results << r; });
    QObject::connect(&search, &FindInFiles::finished, &loop, [&](bool cancelled) {
        outcome.cancelled = cancelled;
        loop.quit();
    });
    // Cancelled once the first file is searched and copies of the next ones wait in the folder.
    QObject::connect(&search, &FindInFiles::fileSearched, &loop, [&] {
        copied = !FilesBelow(temporary).isEmpty();
        search.cancel();
    });
    ASSERT_TRUE(search.start(request));
    loop.exec();
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(copied);
    EXPECT_LT(outcome.results.size(), 8);
    EXPECT_FALSE(search.running());
    EXPECT_TRUE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    // The converters were ended, not left to write their texts later.
    QEventLoop later;
    QTimer::singleShot(700, &later, &QEventLoop::quit);
    later.exec();
    EXPECT_TRUE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(FilesBelow(data).size(), 8);
}

TEST_F(FindInFilesTest, OpenPagesAreSearchedInTheirEditorsText) {
    ASSERT_TRUE(MakeRbf(data + QStringLiteral("/open.rbf"), "RBF file: open.rbf\n{\n| a: 1;\n}\n"));
    ASSERT_TRUE(MakeRbf(data + QStringLiteral("/closed.rbf"), "RBF file: closed.rbf\n{\n| a: 1;\n}\n"));
    FindInFiles::Request request =
        Request(Query("b_only_in_the_editor", SearchQuery::Where::Keys, false, false, false));
    request.pageTexts.insert(data + QStringLiteral("/open.rbf"),
                             "RBF file: open.rbf\r\n{\r\n| a: 1;\r\n| b_only_in_the_editor: 2;\r\n}\r\n");
    FindInFiles search;
    const Outcome outcome = Search(search, request);
    const FileResult *open = outcome.of(data + QStringLiteral("/open.rbf"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->source, FileResult::Source::Page);
    ASSERT_EQ(open->hitCount, 1);
    EXPECT_EQ(open->hits.first().line, 3);
    const FileResult *closed = outcome.of(data + QStringLiteral("/closed.rbf"));
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->source, FileResult::Source::Converter);
    EXPECT_EQ(closed->hitCount, 0);
}

} // namespace
