// Find in Files without processes: what a query matches in a line, the key path of a line, the
// cache of converted texts and the files a search looks in.

#include "platform/cp1252.h"
#include "search/file_walk.h"
#include "search/key_path.h"
#include "search/line_matcher.h"
#include "search/text_cache.h"
#include "search/text_hits.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

SearchQuery Query(const QString &text, SearchQuery::Where where = SearchQuery::Where::Both,
                  bool matchCase = false, bool wholeWord = false, bool regex = false) {
    SearchQuery query;
    query.text = text;
    query.where = where;
    query.matchCase = matchCase;
    query.wholeWord = wholeWord;
    query.regularExpression = regex;
    return query;
}

QList<MatchSpan> Spans(std::initializer_list<std::pair<int, int>> spans) {
    QList<MatchSpan> out;
    for (const auto &span : spans)
        out.append(MatchSpan{span.first, span.second});
    return out;
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TEST(LineMatcherTest, KeysValuesCaseWordsAndExpressions) {
    using W = SearchQuery::Where;
    const QString line = QStringLiteral("| | damage: \"damage_max\";");
    // Columns: the key "damage" stands at 4, the value's "damage" at 13.
    EXPECT_EQ(LineMatcher(Query("damage")).matches(line), Spans({{4, 6}, {13, 6}}));
    EXPECT_EQ(LineMatcher(Query("damage", W::Keys)).matches(line), Spans({{4, 6}}));
    EXPECT_EQ(LineMatcher(Query("damage", W::Values)).matches(line), Spans({{13, 6}}));
    // "_" is a word character: the value's damage is no whole word.
    EXPECT_EQ(LineMatcher(Query("damage", W::Both, false, true)).matches(line), Spans({{4, 6}}));
    EXPECT_EQ(LineMatcher(Query("DAMAGE", W::Both, true)).matches(line), Spans({}));
    EXPECT_EQ(LineMatcher(Query("DAMAGE")).matches(line), Spans({{4, 6}, {13, 6}}));
    // Across the colon only when the whole line is searched.
    EXPECT_EQ(LineMatcher(Query("damage: \"")).matches(line), Spans({{4, 9}}));
    EXPECT_TRUE(LineMatcher(Query("damage: \"", W::Keys)).matches(line).isEmpty());
    // Non-ASCII letters of code page 1252 fold too.
    EXPECT_EQ(
        LineMatcher(Query(QStringLiteral("\u00C9T\u00C9"))).matches(QStringLiteral("| name: \u00e9t\u00e9;")),
        Spans({{8, 3}}));

    // A regular expression sees only the part it searches: "^" is the start of the value.
    const QString value = QStringLiteral("| | id: 12101;");
    EXPECT_EQ(LineMatcher(Query(" 121\\d+", W::Values, false, false, true)).matches(value), Spans({{7, 6}}));
    EXPECT_EQ(LineMatcher(Query("^ ?121", W::Values, false, false, true)).matches(value), Spans({{7, 4}}));
    EXPECT_TRUE(LineMatcher(Query("^121", W::Both, false, false, true)).matches(value).isEmpty());
    EXPECT_EQ(LineMatcher(Query("I[dD]", W::Keys, false, false, true)).matches(value), Spans({{4, 2}}));
    EXPECT_TRUE(LineMatcher(Query("I[dD]", W::Keys, true, false, true)).matches(value).isEmpty());
    // Empty matches find nothing; whole word holds for expressions as well.
    EXPECT_TRUE(LineMatcher(Query("x*", W::Both, false, false, true)).matches(value).isEmpty());
    EXPECT_EQ(LineMatcher(Query("1\\d1", W::Both, false, true, true)).matches(value), Spans({}));
    EXPECT_EQ(LineMatcher(Query("12\\d+", W::Both, false, true, true)).matches(value), Spans({{8, 5}}));

    // A line without a colon has no key; all of it after the markers is value.
    EXPECT_TRUE(LineMatcher(Query("theta", W::Keys)).matches(QStringLiteral("| | theta {")).isEmpty());
    EXPECT_EQ(LineMatcher(Query("theta", W::Values)).matches(QStringLiteral("| | theta {")), Spans({{4, 5}}));

    EXPECT_FALSE(LineMatcher(Query("(", W::Both, false, false, true)).problem().isEmpty());
    EXPECT_FALSE(LineMatcher(Query("")).problem().isEmpty());
}

TEST(KeyPathTest, FollowsTheDepthMarkers) {
    const QByteArray text = EncodeCp1252(QStringLiteral("RBF file: x.rbf\n"
                                                        "{\n"
                                                        "| weapons: {\n"
                                                        "| | primary: {\n"
                                                        "| | | damage: 5;\n"
                                                        "| | }\n"
                                                        "| | r\u00e9serve: 2;\n"
                                                        "| }\n"
                                                        "| speed: 3;\n"
                                                        "}\n"));
    QStringList paths;
    KeyPathTracker tracker;
    for (const QByteArray &line : text.split('\n')) {
        tracker.feed(line);
        paths << JoinKeyPath(tracker.path());
    }
    EXPECT_EQ(paths, (QStringList{"", "", "weapons", "weapons / primary", "weapons / primary / damage",
                                  "weapons / primary", QStringLiteral("weapons / r\u00e9serve"), "weapons",
                                  "speed", "", ""}));

    // The hits of a text carry these paths and the line numbers of the editor (CR LF, LF, CR).
    const QByteArray mixed = "{\r\n| a: {\r| | damage: 1;\n| }\r\n| b: {\n| | damage: 2;\n| }\n}";
    const TextHits hits = SearchConvertedText(mixed, LineMatcher(Query("damage", SearchQuery::Where::Keys)));
    ASSERT_EQ(hits.count, 2);
    EXPECT_EQ(hits.hits.at(0).line, 2);
    EXPECT_EQ(hits.hits.at(0).keyPath, QStringLiteral("a / damage"));
    EXPECT_EQ(hits.hits.at(1).line, 5);
    EXPECT_EQ(hits.hits.at(1).keyPath, QStringLiteral("b / damage"));
    EXPECT_EQ(hits.hits.at(1).text, QStringLiteral("| | damage: 2;"));
    // Beyond the kept hits, only counted.
    const TextHits few = SearchConvertedText(mixed, LineMatcher(Query("damage")), 1);
    EXPECT_EQ(few.count, 2);
    EXPECT_EQ(few.hits.size(), 1);
}

TEST(TextCacheTest, KeyedByPathSizeAndTimeCompressedAndBounded) {
    QTemporaryDir dir;
    const QString cacheFolder = dir.filePath(QStringLiteral("cache/converted"));
    const QString source = dir.filePath(QStringLiteral("a b \u00e4.rbf"));
    ASSERT_TRUE(WriteFile(source, "rbf one"));
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "| | damage: " + QByteArray::number(i) + ";\r\n";
    text += "\xe9\x81"; // code page 1252 bytes, the undefined ones included, come back as they were

    TextCache cache(cacheFolder);
    const FileStamp stamp = FileStamp::of(source);
    EXPECT_FALSE(cache.find(stamp).has_value());
    ASSERT_TRUE(cache.store(stamp, text));
    EXPECT_EQ(cache.find(stamp).value_or(QByteArray()), text);
    // Folders made for it are the owner's alone.
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    EXPECT_EQ((QFileInfo(dir.filePath(QStringLiteral("cache"))).permissions() & others).toInt(), 0);
    EXPECT_EQ((QFileInfo(cacheFolder).permissions() & others).toInt(), 0);
    // Compressed on disk, as it pays for such text.
    EXPECT_LT(cache.bytes(), text.size() / 3);
    // A new cache over the same folder finds it too.
    EXPECT_EQ(TextCache(cacheFolder).find(stamp).value_or(QByteArray()), text);

    // The same path with another size or time is another file.
    FileStamp changed = stamp;
    changed.modifiedMs += 2000;
    EXPECT_FALSE(cache.find(changed).has_value());
    changed = stamp;
    changed.size += 1;
    EXPECT_FALSE(cache.find(changed).has_value());
    // Its new text replaces the old entry instead of adding one.
    ASSERT_TRUE(cache.store(changed, "new text"));
    EXPECT_EQ(cache.find(changed).value_or(QByteArray()), QByteArray("new text"));
    EXPECT_FALSE(cache.find(stamp).has_value());
    EXPECT_EQ(QDir(cacheFolder).entryList(QDir::Files).size(), 1);

    // Over the limit, the least recently used entries go first.
    QByteArray noise; // does not compress: each entry takes its full size
    QRandomGenerator random(15);
    for (int i = 0; i < 3000; ++i)
        noise += char(random.bounded(256));
    TextCache small(dir.filePath(QStringLiteral("small")), 7000);
    QList<FileStamp> stamps;
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.filePath(QStringLiteral("f%1.rbf").arg(i));
        ASSERT_TRUE(WriteFile(path, QByteArray::number(i)));
        stamps << FileStamp::of(path);
    }
    // Apart in time, so that the order of use shows in the entries' times.
    ASSERT_TRUE(small.store(stamps[0], noise));
    QThread::msleep(20);
    ASSERT_TRUE(small.store(stamps[1], noise));
    QThread::msleep(20);
    // Used now, so f1 is the oldest when f2 needs room.
    ASSERT_TRUE(small.find(stamps[0]).has_value());
    QThread::msleep(20);
    ASSERT_TRUE(small.store(stamps[2], noise));
    EXPECT_TRUE(small.find(stamps[0]).has_value());
    EXPECT_FALSE(small.find(stamps[1]).has_value());
    EXPECT_TRUE(small.find(stamps[2]).has_value());
    EXPECT_LE(small.bytes(), 7000);
}

TEST(FileWalkTest, FolderSubfoldersAndPatterns) {
    QTemporaryDir dir;
    for (const char *name : {"a.rbf", "B.RBF", "c.txt", "sub/d.rbf", "sub/deeper/e.rbf", "sub/f.bak"})
        ASSERT_TRUE(WriteFile(dir.filePath(QString::fromLatin1(name)), "x"));
    const auto names = [&dir](const SearchScope &scope) {
        QStringList files;
        for (const QString &path : ListSearchFiles(scope))
            files << QDir(dir.path()).relativeFilePath(path);
        return files;
    };
    SearchScope scope;
    scope.folder = dir.path();
    EXPECT_EQ(names(scope), (QStringList{"B.RBF", "a.rbf", "sub/d.rbf", "sub/deeper/e.rbf"}));
    scope.subfolders = false;
    EXPECT_EQ(names(scope), (QStringList{"B.RBF", "a.rbf"}));
    scope.subfolders = true;
    scope.pattern = QStringLiteral("*.bak; c.*");
    EXPECT_EQ(names(scope), (QStringList{"c.txt", "sub/f.bak"}));
    scope.folder = dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(names(scope).isEmpty());
}
