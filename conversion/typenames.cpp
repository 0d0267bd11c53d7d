#include "typenames.h"

#include "tablestructure.h"

#include <array>
#include <string_view>

namespace kelvane::conversion {

namespace {

constexpr std::array<std::string_view, 23> typeNames = {
    "ftUnknown", "ftString",  "ftSmallint", "ftInteger",     "ftWord",       "ftBoolean",
    "ftFloat",   "ftCurrency", "ftBCD",     "ftDate",        "ftTime",       "ftDateTime",
    "ftBytes",   "ftVarBytes", "ftAutoInc", "ftBlob",        "ftMemo",       "ftGraphic",
    "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",
};

struct OptionName {
    std::uint8_t flag;
    std::string_view name;
};

// Listed in the order the target library's option set declares them.
constexpr std::array<OptionName, 5> optionNames = {{
    {ixCaseInsensitive, "ixCaseInsensitive"},
    {ixPrimary, "ixPrimary"},
    {ixUnique, "ixUnique"},
    {ixDescending, "ixDescending"},
    {ixExpression, "ixExpression"},
}};

} // namespace

std::string Type2Str(std::uint8_t dataType)
{
    // The reader never reports a code without a name; an unknown one still yields an
    // identifier the compiler will point at rather than an empty argument.
    if (dataType >= typeNames.size())
        return "ftUnknown";
    return std::string(typeNames[dataType]);
}

std::string Opt2Str(std::uint8_t options)
{
    std::string text;
    for (const OptionName& option : optionNames) {
        if ((options & option.flag) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += option.name;
    }
    return text;
}

} // namespace kelvane::conversion
