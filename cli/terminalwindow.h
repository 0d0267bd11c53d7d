#pragma once

#include "conversionwindow.h"
#include "gaugemodel.h"

#include <cstdio>
#include <string>

namespace kelvane::cli {

/// The conversion run's window on a terminal: the paths come from the command line,
/// status texts and progress go to an output stream.
class TerminalWindow : public conversion::ConversionWindow {
public:
    TerminalWindow(std::string sourceDirectory, std::string unitPath, std::FILE* out)
        : source_(std::move(sourceDirectory)), unitPath_(std::move(unitPath)), out_(out)
    {
    }

    std::string Edit1Text() const override { return source_; }
    std::string Edit2Text() const override { return unitPath_; }
    void SetLabel1Caption(const std::string& text) override;
    void SetGaugeMinValue(int value) override { gauge_.SetMinValue(value); }
    void SetGaugeMaxValue(int value) override { gauge_.SetMaxValue(value); }
    void SetGaugeProgress(int value) override;
    void Refresh() override { std::fflush(out_); }
    void SetBusyCursor(bool) override {}

private:
    std::string source_;
    std::string unitPath_;
    std::FILE* out_;
    conversion::GaugeModel gauge_;
};

} // namespace kelvane::cli
