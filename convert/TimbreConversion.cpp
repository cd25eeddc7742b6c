// Runs the timbre table (TimbreTable.h) over one MS2000 timbre (m) and one Radias timbre block (r).

#include "convert/TimbreConversion.h"

#include <cstdint>
#include <span>

#include "convert/ProgramConverter.h"
#include "convert/ProgramLayout.h"
#include "convert/RadiasInitTemplate.h"
#include "convert/TimbreTable.h"

namespace patchferry {

std::span<const TimbreStep> TimbreConversionSteps() {
    return timbre::kTimbreSteps;
}

void ProgramConverter::ConvertTimbre(int timbre) {
    holdsInitProgram_ = false;
    const bool first = timbre == 1;
    const std::size_t block = RadiasTimbreOffset(first ? 1 : 2);
    const std::span<const std::uint8_t> program{source_};
    const TimbreScope scope{
        .program = program,
        .m = program.subspan(first ? kMs2kTimbre1Offset : kMs2kTimbre2Offset, kMs2kTimbreSize),
        .r = std::span<std::uint8_t>{image_}.subspan(block, kRadiasTimbreSize),
        .init = std::span{RadiasInitTemplateImage()}.subspan(block, kRadiasTimbreSize),
        .timbre = timbre,
        .mode = VoiceModeOf(source_),
        .report = report_,
    };
    Run<patchferry::timbre::kTimbreSteps>(scope);
}

}  // namespace patchferry
