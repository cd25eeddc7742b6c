#pragma once
// The building blocks of the conversion tables: plain moves, constants and mappings, which are
// data, and decisions, which are small functions that declare the Radias fields they may write.
//
// A table runs in order, one step after the other. The order matters only for the report: its
// entries appear in the order of the steps that make them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "convert/ConversionReport.h"
#include "convert/Ms2kTimbreLayout.h"
#include "convert/Ms2kVocoderLayout.h"
#include "convert/RadiasTimbreLayout.h"
#include "convert/RadiasVocoderLayout.h"
#include "convert/ValueMappings.h"
#include "library/Ms2kProgramImage.h"

namespace patchferry {

// The value of a one-byte field of an MS2000 timbre or of its vocoder area.
constexpr std::uint8_t Read(std::span<const std::uint8_t> m, const Ms2kTimbreField& field) {
    return GetBits(m, field.bits);
}
constexpr std::uint8_t Read(std::span<const std::uint8_t> m, const Ms2kVocoderField& field) {
    return GetBits(m, field.bits);
}

// Writes `value`, cut to the field's width, into a one-byte field of a Radias timbre block or of
// the vocoder block.
constexpr void Write(std::span<std::uint8_t> r, const RadiasTimbreField& field,
                     std::uint8_t value) {
    SetBits(r, field.bits, value);
}
constexpr void Write(std::span<std::uint8_t> r, const RadiasVocoderField& field,
                     std::uint8_t value) {
    SetBits(r, field.bits, value);
}

// A table reads fields of one MS2000 layout (From) and writes fields of one Radias block (To):
// the timbre table reads a synth timbre into a timbre block, the vocoder tables read the vocoder
// area into timbre block 1 (the carrier) and into the vocoder block.

// A plain move: copy an MS2000 field into a Radias field.
template <typename From, typename To>
struct FieldMoveOf {
    From from;
    To to;
};

// Copies `from` into `to`: bit fields of one byte, or runs of whole bytes of equal length. The
// receiving field must be at least as wide, so that no row cuts a value without saying so.
template <typename From, typename To>
consteval FieldMoveOf<From, To> Copy(From from, To to) {
    if (from.count != to.count) {
        throw std::logic_error("a copy needs runs of equal length");
    }
    if (from.bits.Width() > to.bits.Width()) {
        throw std::logic_error("a copy must not cut its value");
    }
    return {from, to};
}

// A Radias field set to a constant, or one left on purpose with the init program's value (a
// field that the timbre table writes and the vocoder's carrier has no source for). A kept field
// counts as taken: no other step of its table may write it.
template <typename To>
struct FieldSetOf {
    enum class Kind : std::uint8_t { Constant, Keep };
    Kind kind;
    To to;
    std::uint8_t value;  // Constant only
};

template <typename To>
consteval FieldSetOf<To> Set(To to, std::uint8_t value) {
    if (to.count != 1 || value > FieldMask(to.bits.low, to.bits.high)) {
        throw std::logic_error("the constant must fit its one field");
    }
    return {FieldSetOf<To>::Kind::Constant, to, value};
}

template <typename To>
consteval FieldSetOf<To> Keep(To to) {
    return {FieldSetOf<To>::Kind::Keep, to, 0};
}

// A mapped move: an MS2000 field through one of the value mappings into a Radias field. A mapping
// that tells whether its value is exact names the parameter that the report lists when it is not.
template <typename From, typename To>
struct FieldMappingOf {
    From from;
    To to;
    std::uint8_t (*map)(std::uint8_t);      // set for a mapping that is always taken as it is
    MappedValue (*exactMap)(std::uint8_t);  // set for one that tells whether it is exact
    std::string_view inexact;               // the report's name for an inexact value
    // Which of the two is set. (A constant expression may not ask whether a function's address
    // is null when the sanitizers are on, so the kind is kept apart.)
    bool tellsExactness = false;
};

// Every value the MS2000 field can hold must map to a value the Radias field holds whole.
template <typename From, typename To>
consteval bool MapsIntoItsField(const FieldMappingOf<From, To>& mapping) {
    if (mapping.from.count != 1 || mapping.to.count != 1) {
        return false;
    }
    const unsigned widest = FieldMask(mapping.to.bits.low, mapping.to.bits.high);
    for (unsigned in = 0; in <= FieldMask(mapping.from.bits.low, mapping.from.bits.high); ++in) {
        const auto value = static_cast<std::uint8_t>(in);
        const unsigned out =
            mapping.tellsExactness ? mapping.exactMap(value).value : mapping.map(value);
        if (out > widest) {
            return false;
        }
    }
    return true;
}

template <typename From, typename To>
consteval FieldMappingOf<From, To> Map(From from, To to, std::uint8_t (*map)(std::uint8_t)) {
    const FieldMappingOf<From, To> mapping{from, to, map, nullptr, {}, false};
    if (!MapsIntoItsField(mapping)) {
        throw std::logic_error("a mapping must fit its values into one field");
    }
    return mapping;
}

// The same for a mapping that tells whether it is exact: `inexact` is reported when it is not.
template <typename From, typename To>
consteval FieldMappingOf<From, To> Map(From from, To to, MappedValue (*exactMap)(std::uint8_t),
                                       std::string_view inexact) {
    const FieldMappingOf<From, To> mapping{from, to, nullptr, exactMap, inexact, true};
    if (inexact.empty() || !MapsIntoItsField(mapping)) {
        throw std::logic_error("a mapping must fit its values into one field and name them");
    }
    return mapping;
}

// What a decision sees: the whole MS2000 program, the part of it being converted (a timbre or
// the vocoder area), the Radias block it goes into (a timbre block or the vocoder block), and
// the report.
struct TimbreScope {
    std::span<const std::uint8_t> program;
    std::span<const std::uint8_t> m;     // the MS2000 timbre or vocoder area
    std::span<std::uint8_t> r;           // the Radias block
    std::span<const std::uint8_t> init;  // the same block of the init program
    int timbre;                          // 1 or 2
    VoiceMode mode;
    ConversionReport& report;
};

// A decision and the Radias fields it may write.
template <typename To>
struct DecisionOf {
    static constexpr std::size_t kMaxWrites = 8;
    void (*run)(const TimbreScope&);
    std::array<To, kMaxWrites> writes;
    std::size_t writeCount;
};

template <typename To>
consteval DecisionOf<To> Decide(void (*run)(const TimbreScope&), std::initializer_list<To> writes) {
    if (writes.size() == 0 || writes.size() > DecisionOf<To>::kMaxWrites) {
        throw std::logic_error("a decision writes one to eight fields");
    }
    const To first = *writes.begin();
    DecisionOf<To> decision{
        run, {first, first, first, first, first, first, first, first}, writes.size()};
    std::copy(writes.begin(), writes.end(), decision.writes.begin());
    return decision;
}

// A decision that writes nothing and only reports.
struct ReportStep {
    void (*run)(const TimbreScope&);
};

consteval ReportStep Decide(void (*run)(const TimbreScope&)) {
    return {run};
}

template <typename From, typename To>
using StepOf = std::variant<FieldMoveOf<From, To>, FieldSetOf<To>, FieldMappingOf<From, To>,
                            DecisionOf<To>, ReportStep>;
// The position of each form in a step.
inline constexpr std::size_t kMoveStep = 0;
inline constexpr std::size_t kSetStep = 1;
inline constexpr std::size_t kMapStep = 2;
inline constexpr std::size_t kDecideStep = 3;
inline constexpr std::size_t kReportStep = 4;

// The timbre table's forms: an MS2000 synth timbre into a Radias timbre block.
using FieldMove = FieldMoveOf<Ms2kTimbreField, RadiasTimbreField>;
using FieldSet = FieldSetOf<RadiasTimbreField>;
using FieldMapping = FieldMappingOf<Ms2kTimbreField, RadiasTimbreField>;
using Decision = DecisionOf<RadiasTimbreField>;
using TimbreStep = StepOf<Ms2kTimbreField, RadiasTimbreField>;

// The Radias fields a step writes or keeps, for the checks of a table. (By index and std::get
// rather than std::get_if: with the sanitizers on, GCC does not take a pointer's comparison with
// null as a constant expression.)
template <typename From, typename To>
constexpr std::span<const To> TargetsOf(const StepOf<From, To>& step) {
    switch (step.index()) {
        case kMoveStep:
            return {&std::get<kMoveStep>(step).to, 1};
        case kSetStep:
            return {&std::get<kSetStep>(step).to, 1};
        case kMapStep:
            return {&std::get<kMapStep>(step).to, 1};
        case kDecideStep: {
            const DecisionOf<To>& decision = std::get<kDecideStep>(step);
            return {decision.writes.data(), decision.writeCount};
        }
        default:
            return {};
    }
}

// Per byte of the Radias block, the bits that the table's steps write or keep; nothing when two
// steps take the same bit.
template <typename From, typename To, std::size_t N>
constexpr std::optional<std::array<std::uint8_t, To::kBlockSize>> BitsTaken(
    const std::array<StepOf<From, To>, N>& steps) {
    std::array<std::uint8_t, To::kBlockSize> taken{};
    for (const StepOf<From, To>& step : steps) {
        for (const To& field : TargetsOf(step)) {
            const std::uint8_t bits = field.Mask();
            for (std::size_t i = field.bits.offset; i < field.End(); ++i) {
                if ((taken[i] & bits) != 0) {
                    return std::nullopt;
                }
                taken[i] = static_cast<std::uint8_t>(taken[i] | bits);
            }
        }
    }
    return taken;
}

// How many steps of the table write (or keep) some bit of the block's byte.
template <typename From, typename To, std::size_t N>
constexpr std::size_t StepsWritingByte(const std::array<StepOf<From, To>, N>& steps,
                                       std::size_t byte) {
    std::size_t writers = 0;
    for (const StepOf<From, To>& step : steps) {
        bool writes = false;
        for (const To& field : TargetsOf(step)) {
            writes = writes || (byte >= field.bits.offset && byte < field.End());
        }
        writers += writes ? 1U : 0U;
    }
    return writers;
}

// True when no two steps of the table write (or keep) the same bit.
template <typename From, typename To, std::size_t N>
constexpr bool EveryStepWritesItsOwnBits(const std::array<StepOf<From, To>, N>& steps) {
    return BitsTaken(steps).has_value();
}

// The results of mapping row I for every value its MS2000 field can hold, worked out while
// compiling: a lookup needs neither a range check nor a call. (Steps and a row number rather than
// the row itself, which not every compiler takes as a template argument.)
template <const auto& Steps, std::size_t I>
inline constexpr auto kMappedValues = [] {
    constexpr auto mapping = std::get<kMapStep>(Steps[I]);
    std::array<MappedValue, FieldMask(mapping.from.bits.low, mapping.from.bits.high) + 1U> values{};
    for (std::size_t in = 0; in < values.size(); ++in) {
        const auto value = static_cast<std::uint8_t>(in);
        values[in] = mapping.tellsExactness ? mapping.exactMap(value)
                                            : MappedValue{mapping.map(value), true};
    }
    return values;
}();

// True when a step before step I of the table writes or keeps some bit of the block's byte.
template <const auto& Steps, std::size_t I>
consteval bool TakenBefore(std::size_t byte) {
    for (std::size_t j = 0; j < I; ++j) {
        for (const auto& field : TargetsOf(Steps[j])) {
            if (byte >= field.bits.offset && byte < field.End()) {
                return true;
            }
        }
    }
    return false;
}

// Writes `value` into a one-byte field of the block. The field's byte has only just been copied
// from the init program, and reading it back can wait for the copy to land (several times the
// cost of the rest of a step), so where no earlier step of the table has written it, its other
// bits come from the init program's own block. (A decision's writes read the block itself.)
template <const auto& Steps, std::size_t I, auto Field>
void WriteField(const TimbreScope& scope, std::uint8_t value) {
    constexpr BitField bits = Field.bits;
    if constexpr (Field.WholeBytes()) {
        scope.r[bits.offset] = value;
    } else {
        const std::uint8_t before =
            TakenBefore<Steps, I>(bits.offset) ? scope.r[bits.offset] : scope.init[bits.offset];
        scope.r[bits.offset] = WithBits(before, value, bits.low, bits.high);
    }
}

// Runs a table's steps in order. The table is a constant, so each step is too, and every choice
// below is made while compiling: a plain move becomes the few instructions of its own fields
// (masks and shifts are constants), a mapping a lookup in its row's kMappedValues and a decision
// a direct call, instead of a loop that reads each row and picks what to do with it.
template <const auto& Steps, std::size_t I>
static void RunStep(const TimbreScope& scope) {
    constexpr const auto& step = Steps[I];
    if constexpr (step.index() == kMoveStep) {
        constexpr const auto& move = std::get<kMoveStep>(step);
        if constexpr (move.to.count > 1) {
            std::copy_n(scope.m.begin() + static_cast<std::ptrdiff_t>(move.from.bits.offset),
                        move.to.count,
                        scope.r.begin() + static_cast<std::ptrdiff_t>(move.to.bits.offset));
        } else {
            WriteField<Steps, I, move.to>(scope, Read(scope.m, move.from));
        }
    } else if constexpr (step.index() == kSetStep) {
        constexpr const auto& set = std::get<kSetStep>(step);
        if constexpr (set.kind == std::remove_cvref_t<decltype(set)>::Kind::Constant) {
            WriteField<Steps, I, set.to>(scope, set.value);
        }
    } else if constexpr (step.index() == kMapStep) {
        constexpr const auto& mapping = std::get<kMapStep>(step);
        const MappedValue mapped = kMappedValues<Steps, I>[Read(scope.m, mapping.from)];
        WriteField<Steps, I, mapping.to>(scope, mapped.value);
        if constexpr (mapping.tellsExactness) {
            if (!mapped.exact) {
                scope.report.AddApproximation(mapping.inexact);
            }
        }
    } else if constexpr (step.index() == kDecideStep) {
        constexpr auto run = std::get<kDecideStep>(step).run;
        run(scope);
    } else {
        constexpr auto run = std::get<kReportStep>(step).run;
        run(scope);
    }
}

template <const auto& Steps, std::size_t... I>
void RunSteps(const TimbreScope& scope, std::index_sequence<I...> /*order*/) {
    (RunStep<Steps, I>(scope), ...);
}

template <const auto& Steps>
void Run(const TimbreScope& scope) {
    RunSteps<Steps>(scope, std::make_index_sequence<std::size(Steps)>{});
}

}  // namespace patchferry
