#include "convert/ConversionReport.h"

namespace patchferry {

void ConversionReport::Reset() {
    quality_ = ConversionQuality::Good;
    text_.clear();
}

void ConversionReport::AddApproximation(std::string_view name) {
    quality_ = ConversionQuality::Approximate;
    if (!text_.empty()) {
        text_ += '|';
    }
    text_ += name;
}

std::string VerdictText(const ConversionReport& report) {
    if (report.Quality() == ConversionQuality::Approximate) {
        return "Approximate [" + report.Text() + "]";
    }
    return "Good";
}

}  // namespace patchferry
