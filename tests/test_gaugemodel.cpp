#include "gaugemodel.h"
#include "tablestructure.h"

#include <gtest/gtest.h>

using namespace kelvane::conversion;

TEST(GaugeModel, RangeChangesPullTheProgressAlong)
{
    GaugeModel gauge;
    gauge.SetProgress(40);
    gauge.SetMaxValue(10);
    EXPECT_EQ(gauge.Progress(), 10);
    gauge.SetMinValue(5);
    gauge.SetProgress(0);
    EXPECT_EQ(gauge.Progress(), 5);
    gauge.SetProgress(99);
    EXPECT_EQ(gauge.Progress(), 10);
}

TEST(GaugeModel, RefusesAnInvertedRange)
{
    GaugeModel gauge;
    gauge.SetMaxValue(7);
    try {
        gauge.SetMinValue(8);
        FAIL() << "minimum above maximum accepted";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "Value must be between -2147483647 and 6");
    }
    gauge.SetMinValue(3);
    try {
        gauge.SetMaxValue(2);
        FAIL() << "maximum below minimum accepted";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "Value must be between 4 and 2147483647");
    }
    EXPECT_EQ(gauge.MinValue(), 3);
    EXPECT_EQ(gauge.MaxValue(), 7);
}

TEST(GaugeModel, PercentDoneTruncatesAndHandlesAnEmptyRange)
{
    GaugeModel gauge;
    gauge.SetMaxValue(3);
    gauge.SetProgress(2);
    EXPECT_EQ(gauge.PercentDone(), 66);
    gauge.SetMaxValue(0);
    EXPECT_EQ(gauge.PercentDone(), 0);
}
