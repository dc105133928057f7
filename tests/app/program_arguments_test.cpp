// The program's command line: which words are files, which end the start at once.

#include "app/program_arguments.h"

#include <gtest/gtest.h>

namespace {
using Action = ProgramArguments::Action;

ProgramArguments Parse(QStringList words) {
    words.prepend(QStringLiteral("kestrelbench"));
    return ParseProgramArguments(words);
}

TEST(ProgramArguments, EveryFileInOrderAndNothingElse) {
    const ProgramArguments none = Parse({});
    EXPECT_EQ(none.action, Action::Run);
    EXPECT_TRUE(none.files.isEmpty());
    // The program's own name is no file, and an empty word or a name with blanks is one word.
    const ProgramArguments files = Parse(
        {QStringLiteral("b.rbf"), QStringLiteral("/data/a b.rbf"), QString(), QStringLiteral("v||u.rbf")});
    EXPECT_EQ(files.action, Action::Run);
    EXPECT_EQ(files.files, (QStringList{QStringLiteral("b.rbf"), QStringLiteral("/data/a b.rbf"), QString(),
                                        QStringLiteral("v||u.rbf")}));
    // Qt's own single-dash options are left to Qt; what it does not take stays a (missing) file.
    EXPECT_EQ(Parse({QStringLiteral("-style"), QStringLiteral("x.rbf")}).action, Action::Run);
}

TEST(ProgramArguments, HelpAndVersionWinWhereverTheyStandBeforeTheEndOfOptions) {
    for (const char *word : {"-h", "--help"}) {
        EXPECT_EQ(Parse({QString::fromLatin1(word)}).action, Action::Help) << word;
        EXPECT_EQ(Parse({QStringLiteral("a.rbf"), QString::fromLatin1(word)}).action, Action::Help) << word;
    }
    for (const char *word : {"-v", "--version"})
        EXPECT_EQ(Parse({QStringLiteral("a.rbf"), QString::fromLatin1(word), QStringLiteral("b.rbf")}).action,
                  Action::Version)
            << word;
    // The first of the two decides.
    EXPECT_EQ(Parse({QStringLiteral("--version"), QStringLiteral("--help")}).action, Action::Version);
}

TEST(ProgramArguments, AfterTheEndOfOptionsEveryWordIsAFile) {
    const ProgramArguments parsed =
        Parse({QStringLiteral("a.rbf"), QStringLiteral("--"), QStringLiteral("--help"), QStringLiteral("-v"),
               QStringLiteral("--"), QStringLiteral("--odd.rbf")});
    EXPECT_EQ(parsed.action, Action::Run);
    EXPECT_EQ(parsed.files,
              (QStringList{QStringLiteral("a.rbf"), QStringLiteral("--help"), QStringLiteral("-v"),
                           QStringLiteral("--"), QStringLiteral("--odd.rbf")}));
}

TEST(ProgramArguments, AnUnknownLongOptionIsAnErrorThatNamesIt) {
    const ProgramArguments parsed = Parse({QStringLiteral("a.rbf"), QStringLiteral("--verison")});
    EXPECT_EQ(parsed.action, Action::Error);
    EXPECT_TRUE(parsed.error.contains(QStringLiteral("--verison")));
}

TEST(ProgramArguments, HelpNamesTheOptionsAndVersionTheRelease) {
    const QString help = ProgramHelpText();
    for (const char *option : {"--help", "--version", "FILE"})
        EXPECT_TRUE(help.contains(QString::fromLatin1(option))) << option;
    EXPECT_EQ(ProgramVersionText(), QStringLiteral("Kestrelbench " KESTREL_VERSION "\n"));
}
} // namespace
