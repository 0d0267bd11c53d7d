#pragma once

#include <string>

namespace kelvane::conversion {

/// What the conversion run uses of the window: the two path fields, the status label,
/// the gauge, a repaint and the busy pointer. The main window and the command line both
/// provide it.
class ConversionWindow {
public:
    virtual ~ConversionWindow() = default;

    /// Text of the source directory field.
    virtual std::string Edit1Text() const = 0;
    /// Text of the destination unit field.
    virtual std::string Edit2Text() const = 0;
    /// Sets the status label's text.
    virtual void SetLabel1Caption(const std::string& text) = 0;
    virtual void SetGaugeMinValue(int value) = 0;
    virtual void SetGaugeMaxValue(int value) = 0;
    virtual void SetGaugeProgress(int value) = 0;
    /// Repaints the window at once, so progress shows while the run holds the thread.
    virtual void Refresh() = 0;
    /// The hourglass pointer while true, the default pointer while false.
    virtual void SetBusyCursor(bool busy) = 0;
};

} // namespace kelvane::conversion
