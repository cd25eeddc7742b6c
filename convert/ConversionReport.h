#pragma once
// The verdict of one conversion: how faithful it is, and the names of the parameters that made
// it only approximate, in the order they were found, joined by "|".

#include <cstdint>
#include <string>
#include <string_view>

namespace patchferry {

// Every voice mode converts: there is no refusal.
enum class ConversionQuality : std::int32_t { Approximate = 1, Good = 2 };

class ConversionReport {
  public:
    ConversionQuality Quality() const { return quality_; }
    const std::string& Text() const { return text_; }

    // Good with no names; keeps the text's storage for the next conversion.
    void Reset();
    // Approximate, and `name` appended after a "|" unless it is the first. Names are never merged:
    // a name found in both timbres stands twice.
    void AddApproximation(std::string_view name);

  private:
    ConversionQuality quality_ = ConversionQuality::Good;
    std::string text_;
};

// The verdict as the program list shows it: "Good" or "Approximate [names]".
std::string VerdictText(const ConversionReport& report);

}  // namespace patchferry
