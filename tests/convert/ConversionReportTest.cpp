#include "convert/ConversionReport.h"

#include <gtest/gtest.h>

namespace patchferry {
namespace {

TEST(ConversionReport, StartsGoodAndRendersWithoutText) {
    const ConversionReport report;
    EXPECT_EQ(report.Quality(), ConversionQuality::Good);
    EXPECT_EQ(report.Text(), "");
    EXPECT_EQ(VerdictText(report), "Good");
}

TEST(ConversionReport, NamesAreJoinedInOrderWithoutMerging) {
    ConversionReport report;
    report.AddApproximation("OSC2 tune");
    EXPECT_EQ(report.Quality(), ConversionQuality::Approximate);
    EXPECT_EQ(VerdictText(report), "Approximate [OSC2 tune]");
    report.AddApproximation("OSC1 DWGS");
    report.AddApproximation("OSC2 tune");
    EXPECT_EQ(report.Quality(), ConversionQuality::Approximate);
    EXPECT_EQ(VerdictText(report), "Approximate [OSC2 tune|OSC1 DWGS|OSC2 tune]");
}

TEST(ConversionReport, ResetForgetsEverything) {
    ConversionReport report;
    report.AddApproximation("SEQ1 Knob");
    report.Reset();
    EXPECT_EQ(report.Quality(), ConversionQuality::Good);
    EXPECT_EQ(report.Text(), "");
    EXPECT_EQ(VerdictText(report), "Good");
}

}  // namespace
}  // namespace patchferry
