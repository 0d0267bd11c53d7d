#include "fireframes.h"

#include "sha256.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string_view>
#include <system_error>

namespace kelvane::fire {

namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number& value, int base = 10)
{
    const char* end = text.data() + text.size();
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<Number>)
        result = std::from_chars(text.data(), end, value, std::chars_format::general);
    else
        result = std::from_chars(text.data(), end, value, base);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool ParseState(std::string_view text, std::uint32_t& state)
{
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    return ParseNumber(text, state, 16);
}

std::string Refused(std::string_view option, std::string_view value, std::string_view why)
{
    return "fire-frames: " + std::string(option) + " " + std::string(value) + ": " + std::string(why);
}

// Applies one option with its value; returns the error text or "".
std::string ApplyOption(std::string_view option, std::string_view value, FireFramesOptions& options)
{
    HeatModel& model = options.model;
    std::int32_t number = 0;
    if (option == "--state") {
        std::uint32_t state = 0;
        if (!ParseState(value, state))
            return Refused(option, value, "not a 32-bit hexadecimal number");
        model.SetRandomState(state);
        return "";
    }
    if (option == "--edgeratio") {
        float ratio = 0;
        if (!ParseNumber(value, ratio))
            return Refused(option, value, "not a number");
        return model.SetEdgeRatio(ratio, options.width) ? "" : Refused(option, value, "must lie between 0 and 1, both excluded");
    }
    if (option == "--kernel") {
        const StepKernel kernel = value == "plain" ? StepKernel::Plain
                                  : value == "portable" ? StepKernel::Portable
                                  : StepKernel::Avx2;
        if (value != "plain" && value != "portable" && value != "avx2")
            return Refused(option, value, "must be plain, portable or avx2");
        return model.SetKernel(kernel) ? "" : Refused(option, value, "this CPU has no AVX2");
    }
    if (option == "--dump") {
        options.dumpPath = std::string(value);
        return "";
    }
    if (option == "--steps") {
        if (!ParseNumber(value, options.steps) || options.steps < 0)
            return Refused(option, value, "must be a whole number, 0 or more");
        return "";
    }
    static constexpr std::string_view kIntegerOptions[] = {
        "--width", "--height", "--decay", "--maxheat", "--spreadrate", "--smoothness",
        "--distribution", "--chaos", "--flammability", "--maxburn"};
    if (std::find(std::begin(kIntegerOptions), std::end(kIntegerOptions), option) == std::end(kIntegerOptions))
        return "fire-frames: unknown option " + std::string(option);
    if (!ParseNumber(value, number))
        return Refused(option, value, "not a 32-bit integer");
    if (option == "--width" || option == "--height") {
        if (number <= 0)
            return Refused(option, value, "must be 1 or more");
        (option == "--width" ? options.width : options.height) = number;
        return "";
    }
    if (option == "--decay") model.SetDecay(number);
    else if (option == "--maxheat") model.SetMaxHeat(number);
    else if (option == "--spreadrate") model.SetSpreadRate(number);
    else if (option == "--smoothness") model.SetSmoothness(number);
    else if (option == "--distribution") model.SetDistribution(number);
    else if (option == "--chaos") model.SetChaos(number);
    else if (option == "--flammability") {
        if (!model.SetFlammability(number))
            return Refused(option, value, "must lie between 1 and 399");
    } else if (option == "--maxburn") {
        if (!model.SetMaxBurn(number))
            return Refused(option, value, "must lie between 1 and 100");
    }
    return "";
}

} // namespace

const char* FireFramesUsage()
{
    return "usage: fire-frames --width W --height H --steps N [--decay D] [--flammability F]\n"
           "         [--maxheat M] [--spreadrate S] [--smoothness S] [--distribution D] [--chaos C]\n"
           "         [--maxburn B] [--edgeratio E] [--state 0xHEX] [--kernel plain|portable|avx2]\n"
           "         [--dump FILE]\n";
}

std::string ParseFireFramesOptions(std::span<const std::string> args, FireFramesOptions& options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return "";
        }
        std::string_view value;
        if (const auto equals = option.find('='); option.starts_with("--") && equals != std::string_view::npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return "fire-frames: " + std::string(option) + " needs a value";
        }
        if (std::string error = ApplyOption(option, value, options); !error.empty())
            return error;
    }
    if (options.width == 0 || options.height == 0 || options.steps < 0)
        return "fire-frames: --width, --height and --steps are required";
    // The edge ratio may have come before the width: the burning width follows the final width.
    options.model.SetEdgeRatio(options.model.EdgeRatio(), options.width);
    return "";
}

std::string FireFramesLine(std::int64_t step, const HeatModel& model, StepFailure failure)
{
    Sha256 sim;
    for (std::int32_t row = 0; row < model.Height(); ++row)
        sim.Update(model.Row(row));
    char state[16];
    std::snprintf(state, sizeof state, "0x%08x", static_cast<unsigned>(model.RandomState()));
    char number[24];
    const auto end = std::to_chars(number, number + sizeof number, step).ptr;
    std::string line = "step=" + std::string(number, end) + " sim=" + Sha256::Hex(sim.Finish()) +
                       " heat=" + Sha256::HexOf(model.HeatRow()) + " state=" + state;
    if (failure != StepFailure::None)
        line += std::string(" fail=") + StepFailureName(failure);
    return line;
}

std::string FireFramesPgm(const HeatModel& model)
{
    std::string image = "P5\n" + std::to_string(model.Width()) + " " + std::to_string(model.Height()) + "\n255\n";
    for (std::int32_t row = model.Height() - 1; row >= 0; --row) {
        const auto pixels = model.Row(row);
        image.append(pixels.begin(), pixels.end());
    }
    return image;
}

int RunFireFrames(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    FireFramesOptions options;
    if (const std::string error = ParseFireFramesOptions(args, options); !error.empty()) {
        err << error << "\n" << FireFramesUsage();
        return 2;
    }
    if (options.help) {
        out << FireFramesUsage();
        return 0;
    }
    HeatModel& model = options.model;
    if (!model.Rebuild(options.width, options.height)) {
        err << "fire-frames: cannot make a buffer of " << std::to_string(options.width) << " x "
            << std::to_string(options.height) << " pixels\n";
        return 2;
    }
    int status = 0;
    for (std::int64_t step = 1; step <= options.steps; ++step) {
        const StepFailure failure = model.Step();
        out << FireFramesLine(step, model, failure) << "\n";
        if (failure != StepFailure::None) {
            status = 1; // the fire stops burning here
            break;
        }
    }
    if (options.dumpPath) {
        std::ofstream file(*options.dumpPath, std::ios::binary | std::ios::trunc);
        const std::string image = FireFramesPgm(model);
        file.write(image.data(), static_cast<std::streamsize>(image.size()));
        file.close();
        if (!file) {
            err << "fire-frames: cannot write " << *options.dumpPath << "\n";
            return 2;
        }
    }
    return status;
}

} // namespace kelvane::fire
