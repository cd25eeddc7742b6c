#pragma once
// The timbre conversion as a table of steps (see TimbreConversion.cpp), open for the checks that
// hold for every step: which Radias fields each one writes.

#include <span>

#include "convert/TimbreStep.h"

namespace patchferry {

std::span<const TimbreStep> TimbreConversionSteps();

}  // namespace patchferry
