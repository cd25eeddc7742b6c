#pragma once
// The vocoder conversion as two tables of steps (see VocoderConversion.cpp), open for the checks
// that hold for every step: which Radias fields each one writes or keeps.

#include <span>

#include "convert/TimbreStep.h"

namespace patchferry {

// The vocoder area into the Radias's vocoder block.
std::span<const StepOf<Ms2kVocoderField, RadiasVocoderField>> VocoderConversionSteps();
// The vocoder area into the carrier, Radias timbre block 1.
std::span<const StepOf<Ms2kVocoderField, RadiasTimbreField>> CarrierConversionSteps();

}  // namespace patchferry
