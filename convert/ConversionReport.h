#pragma once
// The verdict of one conversion: how faithful it is, and the names of the parameters that made
// it only approximate, in the order they were found, joined by "|".

#include <cstdint>
#include <string>
#include <string_view>

namespace patchferry {

enum class ConversionQuality : std::int32_t { NoConversion = 0, Approximate = 1, Good = 2 };

class ConversionReport {
  public:
    ConversionQuality Quality() const { return quality_; }
    const std::string& Text() const { return text_; }

    // Good with no names; keeps the text's storage for the next conversion.
    void Reset();
    // Approximate, and `name` appended after a "|" unless it is the first. Names are never merged:
    // a name found in both timbres stands twice.
    void AddApproximation(std::string_view name);
    // NoConversion, with "Vocoder" as the whole text.
    void RefuseVocoder();

  private:
    ConversionQuality quality_ = ConversionQuality::Good;
    std::string text_;
};

inline constexpr std::string_view kVocoderRefusal = "Vocoder";

// The verdict as the program list shows it: "Good", "Approximate [names]" or
// "No conversion [Vocoder]".
std::string VerdictText(const ConversionReport& report);

}  // namespace patchferry
