#include "heatmodel.h"

#include "firegeometry.h"
#include "flamerows.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

namespace kelvane::fire {

namespace {

// The control's integers wrap on overflow; so do ours.
std::int32_t Wrap32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::uint8_t LowByte(std::int32_t value)
{
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value));
}

std::int32_t ToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

HeatModel::HeatModel()
{
    kernel_ = Avx2Supported() ? StepKernel::Avx2 : StepKernel::Portable;
}

bool HeatModel::SetFlammability(std::int32_t value)
{
    if (value < 1 || value > 399)
        return false;
    flammability_ = value;
    return true;
}

bool HeatModel::SetMaxBurn(std::int32_t value)
{
    if (value < 1 || value > 100)
        return false;
    maxBurn_ = value;
    return true;
}

bool HeatModel::SetEdgeRatio(float value, std::int32_t width)
{
    if (!(value > 0.0f && value < 1.0f)) // not-a-number fails here too
        return false;
    edgeRatio_ = value;
    burningWidth_ = ToInt32(fire::BurningWidth(width, value));
    return true;
}

bool HeatModel::Rebuild(std::int32_t width, std::int32_t height)
{
    Release();
    width_ = width;
    height_ = height;
    burnHeight_ = ToInt32(fire::BurnHeight(height, maxBurn_));
    burningWidth_ = ToInt32(fire::BurningWidth(width, edgeRatio_));
    const std::int64_t stride = fire::RowStride(width);
    stride_ = ToInt32(stride);
    if (width <= 0 || height <= 0 || stride * height > std::numeric_limits<std::int32_t>::max())
        return false;
    try {
        const auto columns = static_cast<std::size_t>(width);
        pixels_.assign(static_cast<std::size_t>(stride * height), 0);
        for (std::int32_t row = 0; row < height; ++row)
            std::fill_n(pixels_.begin() + row * stride, width, kCold);
        rowValues_.assign(columns, 0);
        rowLosses_.assign(columns, 0);
        rowTargets_.assign(columns, 0);
        const std::size_t withMargins = columns + 2 * kColumnMargin;
        columnValues_.assign(withMargins, 0);
        columnLosses_.assign(withMargins, 0);
        columnOffsets_.assign(withMargins, kNoOffset);
        heatRow_.assign(columns, kCold);
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    return true;
}

void HeatModel::Release()
{
    // swap with empty vectors so that the memory really goes
    std::vector<std::uint8_t>().swap(heatRow_);
    std::vector<std::uint8_t>().swap(pixels_);
    std::vector<std::uint8_t>().swap(rowValues_);
    std::vector<std::uint8_t>().swap(rowLosses_);
    std::vector<std::int32_t>().swap(rowTargets_);
    std::vector<std::uint8_t>().swap(columnValues_);
    std::vector<std::uint8_t>().swap(columnLosses_);
    std::vector<std::int8_t>().swap(columnOffsets_);
}

bool HeatModel::HasBuffersFor(std::int32_t width, std::int32_t height) const
{
    return HasBuffers() && width == width_ && height == height_;
}

bool HeatModel::SetKernel(StepKernel kernel)
{
    if (kernel == StepKernel::Avx2 && !Avx2Supported())
        return false;
    kernel_ = kernel;
    return true;
}

bool HeatModel::Avx2Supported()
{
    return CpuHasAvx2();
}

std::int32_t HeatModel::ZoneStart() const
{
    return ToInt32((std::int64_t{width_} - burningWidth_) / 2);
}

std::int32_t HeatModel::ZoneEnd() const
{
    return ToInt32(std::int64_t{ZoneStart()} + burningWidth_ + 1);
}

std::int32_t HeatModel::HeatCap() const
{
    return Wrap32(std::int64_t{maxHeat_} + 16);
}

std::span<const std::uint8_t> HeatModel::Row(std::int32_t row) const
{
    if (!HasBuffers() || row < 0 || row >= height_)
        return {};
    return std::span<const std::uint8_t>(pixels_).subspan(static_cast<std::size_t>(row) * stride_,
                                                         static_cast<std::size_t>(width_));
}

StepFailure HeatModel::Step()
{
    if (!HasBuffers())
        return StepFailure::NoBuffers;
    const std::int64_t zoneStart = (std::int64_t{width_} - burningWidth_) / 2;
    const std::int64_t zoneEnd = zoneStart + burningWidth_ + 1;
    BottomRow(zoneStart, zoneEnd);
    StepFailure failure = FlameRows();
    if (failure == StepFailure::None)
        failure = HotSpot(zoneStart);
    if (failure == StepFailure::None)
        failure = Spread(zoneStart, zoneEnd);
    if (failure == StepFailure::None)
        Smooth(zoneStart, zoneEnd);
    return failure;
}

void HeatModel::BottomRow(std::int64_t zoneStart, std::int64_t zoneEnd)
{
    const std::int32_t coldBelow = Wrap32(zoneStart + distribution_);
    const std::int32_t coldFrom = Wrap32(zoneEnd - distribution_);
    for (std::int32_t column = 0; column < width_; ++column) {
        if (column < coldBelow || column >= coldFrom)
            heatRow_[static_cast<std::size_t>(column)] = kCold;
        pixels_[static_cast<std::size_t>(column)] = heatRow_[static_cast<std::size_t>(column)];
    }
}

StepFailure HeatModel::FlameRows()
{
    FlameRowsJob job;
    job.pixels = pixels_.data();
    job.size = static_cast<std::int64_t>(pixels_.size());
    job.width = width_;
    job.stride = stride_;
    job.top = std::min(burnHeight_, height_ - 1);
    job.distribution = distribution_;
    job.decay = decay_;
    job.state = random_.State();
    job.values = rowValues_.data();
    job.losses = rowLosses_.data();
    job.targets = rowTargets_.data();
    job.columnValues = columnValues_.data() + kColumnMargin;
    job.columnLosses = columnLosses_.data() + kColumnMargin;
    job.columnOffsets = columnOffsets_.data() + kColumnMargin;
    StepFailure failure = StepFailure::None;
    switch (kernel_) {
    case StepKernel::Plain: failure = FlameRowsPlain(job); break;
    case StepKernel::Portable: failure = FlameRowsPortable(job); break;
    case StepKernel::Avx2: failure = FlameRowsAvx2(job); break;
    }
    random_.SetState(job.state);
    return failure;
}

StepFailure HeatModel::HotSpot(std::int64_t zoneStart)
{
    const auto chance = static_cast<std::int32_t>(random_.Next());
    if (chance % (400 - flammability_) != 0)
        return StepFailure::None;
    const auto place = static_cast<std::int32_t>(random_.Next());
    const std::int32_t span = Wrap32(std::int64_t{burningWidth_} - 5);
    if (span == 0)
        return StepFailure::HotSpotDivisor;
    const std::int64_t first = zoneStart + place % span;
    for (std::int64_t column = first; column < first + 5; ++column) {
        if (column >= 0 && column < width_) // cells past the last column are skipped
            heatRow_[static_cast<std::size_t>(column)] = kHotSpot;
    }
    return StepFailure::None;
}

StepFailure HeatModel::Spread(std::int64_t zoneStart, std::int64_t zoneEnd)
{
    const std::int32_t cap = HeatCap();
    const std::int64_t last = std::min<std::int64_t>(zoneEnd - 1, width_ - 1);
    for (std::int64_t column = std::max<std::int64_t>(zoneStart, 0); column <= last; ++column) {
        std::uint8_t& cell = heatRow_[static_cast<std::size_t>(column)];
        if (cell >= cap) {
            cell = LowByte(cap);
            continue;
        }
        const auto draw = static_cast<std::int32_t>(random_.Next());
        if (chaos_ == 0)
            return StepFailure::ChaosDivisor;
        const std::int32_t raised =
            Wrap32(std::int64_t{cell} + spreadRate_ + draw % chaos_ + 1 - chaos_ / 2);
        cell = raised > cap ? LowByte(cap) : raised < kCold ? kCold : LowByte(raised);
    }
    return StepFailure::None;
}

void HeatModel::Smooth(std::int64_t zoneStart, std::int64_t zoneEnd)
{
    const std::int64_t reach = smoothness_;
    if (reach <= 0)
        return;
    // Cells whose whole window lies in the zone (and in the row); empty when the burning width
    // is below twice the reach.
    const std::int64_t first = std::max(zoneStart + reach, reach);
    const std::int64_t last = std::min<std::int64_t>(zoneEnd - 1, width_ - 1) - reach;
    if (first > last)
        return;
    auto cell = [this](std::int64_t column) -> std::uint8_t& { return heatRow_[static_cast<std::size_t>(column)]; };
    const std::int64_t count = 2 * reach + 1;
    std::int64_t sum = 0;
    for (std::int64_t column = first - reach; column <= first + reach; ++column)
        sum += cell(column);
    // In place: the window of each cell already holds the new values to its left.
    for (std::int64_t column = first; column <= last; ++column) {
        const auto smoothed = static_cast<std::uint8_t>(sum / count);
        sum += smoothed - cell(column);
        cell(column) = smoothed;
        if (column < last)
            sum += cell(column + reach + 1) - cell(column - reach);
    }
}

} // namespace kelvane::fire
