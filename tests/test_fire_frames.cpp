#include "fireframes.h"
#include "sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace kelvane::fire;

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun RunTool(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunFireFrames(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(FireFrames, PrintsOneFingerprintLinePerStepMatchingTheModel)
{
    const ToolRun run = RunTool({"--width", "121", "--height", "25", "--steps", "5"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u);
    const std::regex format("step=[1-5] sim=[0-9a-f]{64} heat=[0-9a-f]{64} state=0x[0-9a-f]{8}");
    for (const auto& line : lines)
        EXPECT_TRUE(std::regex_match(line, format)) << line;

    HeatModel model;
    ASSERT_TRUE(model.Rebuild(121, 25));
    for (int step = 1; step <= 5; ++step)
        ASSERT_EQ(model.Step(), StepFailure::None);
    // The pixel rows bottom first, padding left out; and the heat row.
    std::string pixels;
    for (std::int32_t row = 0; row < 25; ++row)
        pixels.append(model.Row(row).begin(), model.Row(row).end());
    char state[16];
    std::snprintf(state, sizeof state, "%08x", model.RandomState());
    const std::string expected = "step=5 sim=" +
                                 Sha256::HexOf({reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size()}) +
                                 " heat=" + Sha256::HexOf(model.HeatRow()) + " state=0x" + state;
    EXPECT_EQ(lines.back(), expected);
}

TEST(FireFrames, SettingsAndStateChangeTheFrames)
{
    const std::vector<std::string> base = {"--width", "40", "--height", "12", "--steps", "3"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), base.begin(), base.end());
        return RunTool(extra).out;
    };
    const std::string plain = with({});
    EXPECT_EQ(plain, with({"--state", "0x38549391", "--decay", "5", "--edgeratio=0.5"})); // the defaults
    EXPECT_NE(plain, with({"--state", "0x1"}));
    EXPECT_NE(plain, with({"--decay", "0"}));
    EXPECT_NE(plain, with({"--maxburn", "100"}));
    EXPECT_NE(plain, with({"--edgeratio", "0.9"}));
}

TEST(FireFrames, AFailedStepEndsTheRunWithItsReason)
{
    const ToolRun run = RunTool({"--width", "121", "--height", "25", "--steps", "10", "--chaos", "0"});
    EXPECT_EQ(run.status, 1);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("step=1 sim="));
    EXPECT_TRUE(lines[0].ends_with(" fail=chaos")) << lines[0];

    const ToolRun hotSpot = RunTool({"--width", "10", "--height", "8", "--steps", "3", "--flammability", "399"});
    EXPECT_EQ(hotSpot.status, 1);
    EXPECT_TRUE(hotSpot.out.ends_with(" fail=hotspot\n")) << hotSpot.out;
}

TEST(FireFrames, DumpWritesTheLastBufferAsPgmTopRowFirst)
{
    const auto path = std::filesystem::temp_directory_path() / "kelvane-fire-frames-test.pgm";
    const ToolRun run = RunTool({"--width", "7", "--height", "3", "--steps", "4", "--dump", path.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);

    HeatModel model;
    ASSERT_TRUE(model.Rebuild(7, 3));
    for (int step = 0; step < 4; ++step)
        ASSERT_EQ(model.Step(), StepFailure::None);
    std::string expected = "P5\n7 3\n255\n";
    for (std::int32_t row = 2; row >= 0; --row)
        expected.append(model.Row(row).begin(), model.Row(row).end());
    EXPECT_EQ(image, expected);
}

struct BadArgs {
    const char* name;
    std::vector<std::string> extra;
    const char* message;
};

class FireFramesRefuses : public testing::TestWithParam<BadArgs> {};

TEST_P(FireFramesRefuses, ValuesTheControlWouldIgnore)
{
    std::vector<std::string> args = {"--width", "121", "--height", "25", "--steps", "2"};
    args.insert(args.end(), GetParam().extra.begin(), GetParam().extra.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FireFramesRefuses,
    testing::Values(BadArgs{"MaxBurnZero", {"--maxburn", "0"}, "--maxburn 0: must lie between 1 and 100"},
                    BadArgs{"MaxBurn101", {"--maxburn", "101"}, "--maxburn 101"},
                    BadArgs{"FlammabilityZero", {"--flammability", "0"}, "--flammability 0: must lie between 1 and 399"},
                    BadArgs{"Flammability400", {"--flammability", "400"}, "--flammability 400"},
                    BadArgs{"EdgeRatioZero", {"--edgeratio", "0"}, "--edgeratio 0: must lie between 0 and 1"},
                    BadArgs{"EdgeRatioOne", {"--edgeratio", "1"}, "--edgeratio 1"},
                    BadArgs{"EdgeRatioNan", {"--edgeratio", "nan"}, "--edgeratio nan"},
                    BadArgs{"WidthZero", {"--width", "0"}, "--width 0: must be 1 or more"},
                    BadArgs{"NotANumber", {"--decay", "five"}, "--decay five: not a 32-bit integer"},
                    BadArgs{"TooLarge", {"--chaos", "2147483648"}, "--chaos 2147483648"},
                    BadArgs{"BadState", {"--state", "0xZZ"}, "--state 0xZZ"},
                    BadArgs{"StateTooWide", {"--state", "0x123456789"}, "--state 0x123456789"},
                    BadArgs{"NegativeSteps", {"--steps", "-1"}, "--steps -1"},
                    BadArgs{"Unknown", {"--colour", "red"}, "unknown option --colour"},
                    BadArgs{"MissingValue", {"--decay"}, "--decay needs a value"},
                    BadArgs{"HugeBuffer", {"--width", "65536", "--height", "65536"}, "cannot make a buffer"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FireFrames, SizeAndStepsAreRequired)
{
    const ToolRun run = RunTool({"--width", "121", "--steps", "2"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("are required"), std::string::npos);
    EXPECT_NE(run.err.find("usage: fire-frames"), std::string::npos);
}

} // namespace
