#pragma once
// One listed MS2000 program: where it came from (bank, number, file) and its own image copy.

#include <span>
#include <string>
#include <string_view>

#include "Ms2kProgramImage.h"

namespace patchferry {

class ProgramEntry {
  public:
    ProgramEntry(char bankLetter, int number, const Ms2kProgramImage& image, std::string fileLabel);
    ProgramEntry(char bankLetter, int number, std::span<const std::uint8_t, kMs2kProgramSize> image,
                 std::string fileLabel);

    std::string BankLabel() const;    // "A".."H"
    std::string NumberLabel() const;  // "001".."016"
    std::string Name() const;         // bytes 0..11 up to a zero byte, trailing white space removed
    std::string_view CategoryLabel() const;  // "Single", "Split", "Dual", "Vocoder"
    const Ms2kProgramImage& Image() const { return image_; }
    const std::string& FileLabel() const { return fileLabel_; }

    char BankLetter() const { return bankLetter_; }
    int Number() const { return number_; }

  private:
    char bankLetter_;
    int number_;
    Ms2kProgramImage image_;
    std::string fileLabel_;
};

}  // namespace patchferry
