#pragma once
// Turns one MS2000 program into one Radias program and a verdict on how faithful it is.
//
// A converter is short-lived: build it over a program, Convert(), read the verdict or the image,
// drop it. It keeps only a reference to the program, which must outlive it.
//
// Every conversion starts from a fresh copy of the Radias init program and overwrites only the
// fields that have an MS2000 counterpart; the rest keeps the init program's values. A Vocoder
// program fills the Radias's vocoder block and timbre 1, its carrier.

#include <string_view>

#include "convert/ConversionReport.h"
#include "convert/RadiasProgramImage.h"
#include "library/Ms2kProgramImage.h"

namespace patchferry {

class ProgramConverter {
  public:
    // Starts with the init program in the image.
    explicit ProgramConverter(const Ms2kProgramImage& source);
    // The converter only refers to its program: a temporary would be gone before Convert().
    explicit ProgramConverter(Ms2kProgramImage&&) = delete;

    // Resets the report, loads the init program and converts the whole program. Running it
    // again gives the same result.
    void Convert();

    ConversionQuality Quality() const { return report_.Quality(); }
    const ConversionReport& Report() const { return report_; }
    const RadiasProgramImage& Image() const { return image_; }

    // The stages of Convert(), open for tests; they write over the image as it stands, but a
    // table row that writes part of a byte no earlier row wrote takes the byte's other bits from
    // the init program (decisions keep the image's).
    // Program-wide settings, then the timbres in use or the vocoder.
    void ConvertProgram();
    // Timbre 1 or 2 (any value but 1 is taken as 2) into Radias timbre block 1 or 2.
    void ConvertTimbre(int timbre);
    // The vocoder area into the vocoder block and its carrier, Radias timbre block 1.
    void ConvertVocoder();
    void AddApproximation(std::string_view name) { report_.AddApproximation(name); }

  private:
    void LoadInitProgram();

    const Ms2kProgramImage& source_;
    RadiasProgramImage image_;  // filled by the constructor
    // The image is the init program as loaded: the first Convert() after the constructor need
    // not load it again, so that a converter built for one program copies the image once.
    bool holdsInitProgram_ = false;
    ConversionReport report_;
};

}  // namespace patchferry
