#pragma once

#include "conversionwindow.h"

#include <string>

/// A conversion window on two fixed paths that shows nothing.
class QuietWindow : public kelvane::conversion::ConversionWindow {
public:
    QuietWindow(std::string source, std::string unit) : source_(std::move(source)), unit_(std::move(unit)) {}
    std::string Edit1Text() const override { return source_; }
    std::string Edit2Text() const override { return unit_; }
    void SetLabel1Caption(const std::string&) override {}
    void SetGaugeMinValue(int) override {}
    void SetGaugeMaxValue(int) override {}
    void SetGaugeProgress(int) override {}
    void Refresh() override {}
    void SetBusyCursor(bool) override {}

private:
    std::string source_, unit_;
};
