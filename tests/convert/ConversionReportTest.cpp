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

TEST(ConversionReport, VocoderReplacesTheTextAndResetForgetsEverything) {
    ConversionReport report;
    report.RefuseVocoder();
    EXPECT_EQ(report.Quality(), ConversionQuality::NoConversion);
    EXPECT_EQ(VerdictText(report), "No conversion [Vocoder]");

    report.Reset();
    report.AddApproximation("SEQ1 Knob");
    report.RefuseVocoder();
    EXPECT_EQ(report.Text(), "Vocoder");

    report.Reset();
    EXPECT_EQ(report.Quality(), ConversionQuality::Good);
    EXPECT_EQ(report.Text(), "");
    EXPECT_EQ(VerdictText(report), "Good");
}

}  // namespace
}  // namespace patchferry
