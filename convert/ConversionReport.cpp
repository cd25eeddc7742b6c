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

void ConversionReport::RefuseVocoder() {
    quality_ = ConversionQuality::NoConversion;
    text_ = kVocoderRefusal;
}

std::string VerdictText(const ConversionReport& report) {
    switch (report.Quality()) {
        case ConversionQuality::Good:
            return "Good";
        case ConversionQuality::Approximate:
            return "Approximate [" + report.Text() + "]";
        case ConversionQuality::NoConversion:
            return "No conversion [" + report.Text() + "]";
    }
    return "No conversion [" + report.Text() + "]";
}

}  // namespace patchferry
