#pragma once

namespace kelvane::conversion {

/// Minimum, maximum and position of a progress gauge, with the rules a gauge keeps
/// between them: the position stays inside the range, and a range that would be
/// inverted is refused.
class GaugeModel {
public:
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }

    /// Refused with ConversionError "Value must be between %d and %d" above MaxValue.
    void SetMinValue(int value);
    /// Refused with ConversionError "Value must be between %d and %d" below MinValue.
    void SetMaxValue(int value);
    /// Clamped into MinValue to MaxValue.
    void SetProgress(int value);

    /// Whole percentage done, truncated; 0 for an empty range.
    int PercentDone() const;

private:
    int min_ = 0;
    int max_ = 100;
    int progress_ = 0;
};

} // namespace kelvane::conversion
