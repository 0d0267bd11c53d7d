#include "tempdir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

namespace {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

Result convert(const std::string& arguments, const TempDir& dir)
{
    const std::string command = std::string(KELVANE_CONVERT) + " " + arguments + " >" + dir.file("out") + " 2>" +
                                dir.file("err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(dir.file("out")), readBytes(dir.file("err"))};
}

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

} // namespace

TEST(KelvaneConvert, ConvertsAFolderAndReportsProgress)
{
    TempDir dir;
    const Result result = convert(quoted(std::string(KELVANE_CORPUS_DIR) + "/pxlib") + " " +
                                      quoted(dir.file("CreateDb.pas")), dir);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Writing header...\nSeeking Tables...\nParsing Table: TypSammlung.DB\n"
                          "  1/1 tables (100%)\nConversion Terminated!\n");
    EXPECT_TRUE(result.err.empty());
    EXPECT_TRUE(readBytes(dir.file("CreateDb.pas")).ends_with("End.\r\n"));
}

TEST(KelvaneConvert, FailureGoesToStandardErrorWithExitCodeOne)
{
    TempDir dir;
    const Result result = convert(quoted(dir.path()) + " " + quoted(dir.file("missing/CreateDb.pas")), dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kelvane-convert: Invalid filename.\n");
    EXPECT_EQ(result.out, "Writing header...\n");
}

TEST(KelvaneConvert, HelpAndUsage)
{
    TempDir dir;
    const Result help = convert("--help", dir);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: kelvane-convert SOURCE_DIR DEST.pas\n"));
    const Result wrong = convert("only-one-argument", dir);
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.starts_with("Usage: kelvane-convert SOURCE_DIR DEST.pas\n"));
}
