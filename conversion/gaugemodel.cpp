#include "gaugemodel.h"

#include "tablestructure.h"

#include <algorithm>
#include <climits>
#include <string>

namespace kelvane::conversion {

namespace {
[[noreturn]] void outOfRange(long long low, long long high)
{
    throw ConversionError("Value must be between " + std::to_string(low) + " and " + std::to_string(high));
}
} // namespace

void GaugeModel::SetMinValue(int value)
{
    if (value == min_)
        return;
    if (value > max_)
        outOfRange(-static_cast<long long>(INT_MAX), static_cast<long long>(max_) - 1);
    min_ = value;
    progress_ = std::max(progress_, min_);
}

void GaugeModel::SetMaxValue(int value)
{
    if (value == max_)
        return;
    if (value < min_)
        outOfRange(static_cast<long long>(min_) + 1, INT_MAX);
    max_ = value;
    progress_ = std::min(progress_, max_);
}

void GaugeModel::SetProgress(int value)
{
    progress_ = std::clamp(value, min_, max_);
}

int GaugeModel::PercentDone() const
{
    const long long range = static_cast<long long>(max_) - min_;
    if (range == 0)
        return 0;
    return static_cast<int>((static_cast<long long>(progress_) - min_) * 100 / range);
}

} // namespace kelvane::conversion
