// The converter bridge in a program without a QCoreApplication: a plain blocking wait.

#include "converter/file_size.h"
#include "converter/run_converter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RunConverterWithoutApplication, WaitsForTheConverter) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("a b.rbf"));
    QFile(input).open(QIODevice::WriteOnly);
    qputenv("FAKE_CONVERTER_MODE", "sleep=200,output");
    EXPECT_TRUE(RunConverter(QStringLiteral(FAKE_CONVERTER_PATH), input));
    EXPECT_GT(GetFileSizeOrZero(dir.filePath(QStringLiteral("a b.txt"))), 0);
    EXPECT_FALSE(RunConverter(dir.filePath(QStringLiteral("missing")), input));
    qunsetenv("FAKE_CONVERTER_MODE");
}
