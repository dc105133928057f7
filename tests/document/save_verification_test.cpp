// The check after a save: the text compared with what the new RBF file converts back to, and the
// whole check with the real grindle in a private folder.

#include "document/save_verification.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kSaved = "RBF file: unit.rbf\r\n"
                          "{\r\n"
                          "| name: \"Marine\";\r\n"
                          "| speed: 2.5;\r\n"
                          "| visible: true;\r\n"
                          "| weapons: {\r\n"
                          "| | damage: 12;\r\n"
                          "| }\r\n"
                          "}\r\n";

QByteArray Replaced(QByteArray text, const QByteArray &from, const QByteArray &to) {
    return text.replace(from, to);
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kGrindle = QStringLiteral(KESTREL_BUILD_DIR "/grindle");

} // namespace

TEST(FirstDifferingLine, LayoutMayDiffer) {
    EXPECT_EQ(FirstDifferingLine(kSaved, kSaved), 0);
    // Line breaks, blank lines, blanks around markers, keys, ":" and ";", wrong or missing
    // markers, and a missing heading: the converter reads all of them as the same content.
    const QByteArray loose = "\n{\n\n"
                             "|   name :\t\"Marine\" ;  \n"
                             "speed:2.5;\n"
                             "| | | visible: TRUE;\n"
                             "  | weapons:{\n"
                             "| |  damage: 12;\n"
                             "| }\n"
                             "}\n\n";
    EXPECT_EQ(FirstDifferingLine(loose, kSaved), 0);
    EXPECT_EQ(FirstDifferingLine(kSaved, loose), 0);
    // Numbers of one kind compare by value: the converter writes its own form of them.
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "2.5", "2.50"), kSaved), 0);
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "12;", "+12;"), kSaved), 0);
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "2.5", "25e-1"), kSaved), 0);
}

TEST(FirstDifferingLine, ContentMayNot) {
    // Lines are numbered from 1 in the saved text.
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "\"Marine\"", "\"Marin\"")), 3);
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "\"Marine\"", "\"marine\"")), 3);
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "\"Marine\"", "\" Marine\"")), 3);
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "name:", "Name:")), 3);
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "2.5", "2.25")), 4);
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "true", "false")), 5);
    // An integer and a float are different values to the game, even when they are equal.
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "12;", "12.0;"), kSaved), 7);
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "2.5", "-0.0"), Replaced(kSaved, "2.5", "0.0")), 4);
    // A string that looks like a number is a string.
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "12;", "\"12\";"), kSaved), 7);
    // A value line against a table line, and a lost closing brace.
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "weapons: {", "weapons: {;"), kSaved), 6);
    // Nesting is told by the braces alone: the first brace without a counterpart is named.
    EXPECT_EQ(FirstDifferingLine(kSaved, Replaced(kSaved, "| }\r\n", "")), 9);
    // A line blanked out in the saved text shifts the rest: the next content line is named.
    EXPECT_EQ(FirstDifferingLine(Replaced(kSaved, "| visible: true;", ""), kSaved), 6);
}

TEST(FirstDifferingLine, MissingAndExtraContent) {
    const QByteArray shorter = kSaved.left(kSaved.indexOf("| weapons"));
    // The converted text ends early: the first saved line it lacks.
    EXPECT_EQ(FirstDifferingLine(kSaved, shorter), 6);
    // The converted text has more: the line after the saved text's last one.
    EXPECT_EQ(FirstDifferingLine(shorter, kSaved), 6);
    EXPECT_EQ(FirstDifferingLine(QByteArray(), kSaved), 1);
    EXPECT_EQ(FirstDifferingLine(QByteArray("\r\n\r\n"), QByteArray()), 0);
    EXPECT_EQ(FirstDifferingLine(kSaved, QByteArray()), 2); // line 1 is the heading
}

class VerifySavedFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(kGrindle).isExecutable());
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("My Data \u00E4"));
        ASSERT_TRUE(QDir().mkpath(folder));
        rbf = folder + QStringLiteral("/unit.rbf");
        text = folder + QStringLiteral("/unit.txt");
    }
    // Converts text into unit.rbf with grindle, as a save does.
    void Save(const QByteArray &bytes) {
        ASSERT_TRUE(WriteFile(text, bytes));
        ASSERT_EQ(QProcess::execute(kGrindle, {QStringLiteral("-q"), QStringLiteral("-i"), text}), 0);
    }
    QStringList Names() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString folder;
    QString rbf;
    QString text;
};

TEST_F(VerifySavedFileTest, AGoodSaveIsTheSameAndNothingIsWrittenBesideTheFile) {
    Save(kSaved);
    // A text of another layout saves to the same file and passes as well.
    const QByteArray loose = Replaced(kSaved, "| name: ", "|  name :  ") + "\r\n\r\n";
    for (const QByteArray &saved : {kSaved, loose}) {
        ASSERT_TRUE(WriteFile(text, saved));
        const QStringList before = Names();
        const SaveVerification check = VerifySavedFile(kGrindle, rbf, text);
        EXPECT_EQ(check.outcome, SaveVerification::Outcome::Same) << qPrintable(check.problem);
        EXPECT_TRUE(check.run.succeeded());
        EXPECT_EQ(Names(), before);
    }
}

TEST_F(VerifySavedFileTest, AWrongFileIsFoundAndALineNamed) {
    // The RBF file holds another damage than the text the user saved.
    Save(Replaced(kSaved, "damage: 12", "damage: 13"));
    ASSERT_TRUE(WriteFile(text, kSaved));
    const SaveVerification check = VerifySavedFile(kGrindle, rbf, text);
    EXPECT_EQ(check.outcome, SaveVerification::Outcome::Differs);
    EXPECT_EQ(check.line, 7);
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("unit.rbf"), QStringLiteral("unit.txt")}));
}

TEST_F(VerifySavedFileTest, AFileThatDoesNotConvertBackIsNotChecked) {
    ASSERT_TRUE(WriteFile(rbf, "KRBF broken"));
    ASSERT_TRUE(WriteFile(text, kSaved));
    SaveVerification check = VerifySavedFile(kGrindle, rbf, text);
    EXPECT_EQ(check.outcome, SaveVerification::Outcome::NotChecked);
    EXPECT_EQ(check.run.exitCode, 1);
    EXPECT_EQ(check.problem, QStringLiteral("The converter ended with exit code 1."));
    // The user's text file is never touched by the check.
    QFile saved(text);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), kSaved);

    check = VerifySavedFile(kGrindle, folder + QStringLiteral("/missing.rbf"), text);
    EXPECT_EQ(check.outcome, SaveVerification::Outcome::NotChecked);
    EXPECT_FALSE(check.problem.isEmpty());
}
