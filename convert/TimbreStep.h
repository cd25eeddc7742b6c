#pragma once
// The building blocks of the timbre conversion table: plain moves and mappings, which are data,
// and decisions, which are small functions that declare the Radias fields they may write.
//
// A table runs in order, one step after the other. The order matters only for the report: its
// entries appear in the order of the steps that make them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <variant>

#include "convert/ConversionReport.h"
#include "convert/Ms2kTimbreLayout.h"
#include "convert/RadiasTimbreLayout.h"
#include "convert/ValueMappings.h"
#include "library/Ms2kProgramImage.h"

namespace patchferry {

// The value of a one-byte field of an MS2000 timbre.
constexpr std::uint8_t Read(std::span<const std::uint8_t> m, const Ms2kTimbreField& field) {
    return GetBits(m, field.bits);
}

// Writes `value`, cut to the field's width, into a one-byte field of a Radias timbre block.
constexpr void Write(std::span<std::uint8_t> r, const RadiasTimbreField& field,
                     std::uint8_t value) {
    SetBits(r, field.bits, value);
}

// A plain move: copy an MS2000 field into a Radias field, or write a constant.
struct FieldMove {
    enum class Kind : std::uint8_t { Copy, Constant };
    Kind kind;
    Ms2kTimbreField from;  // Copy only
    RadiasTimbreField to;
    std::uint8_t value;  // Constant only
};

// Copies `from` into `to`: bit fields of one byte, or runs of whole bytes of equal length. The
// receiving field must be at least as wide, so that no row cuts a value without saying so.
consteval FieldMove Copy(Ms2kTimbreField from, RadiasTimbreField to) {
    if (from.count != to.count) {
        throw std::logic_error("a copy needs runs of equal length");
    }
    if (from.bits.Width() > to.bits.Width()) {
        throw std::logic_error("a copy must not cut its value");
    }
    return {FieldMove::Kind::Copy, from, to, 0};
}

consteval FieldMove Set(RadiasTimbreField to, std::uint8_t value) {
    if (to.count != 1 || value > FieldMask(to.bits.low, to.bits.high)) {
        throw std::logic_error("the constant must fit its one field");
    }
    return {FieldMove::Kind::Constant, ms2k::Byte(0), to, value};
}

// A mapped move: an MS2000 field through one of the value mappings into a Radias field. A mapping
// that tells whether its value is exact names the parameter that the report lists when it is not.
struct FieldMapping {
    Ms2kTimbreField from;
    RadiasTimbreField to;
    std::uint8_t (*map)(std::uint8_t);      // set for a mapping that is always taken as it is
    MappedValue (*exactMap)(std::uint8_t);  // set for one that tells whether it is exact
    std::string_view inexact;               // the report's name for an inexact value
    // Which of the two is set. (A constant expression may not ask whether a function's address
    // is null when the sanitizers are on, so the kind is kept apart.)
    bool tellsExactness = false;
};

// Every value the MS2000 field can hold must map to a value the Radias field holds whole.
consteval bool MapsIntoItsField(const FieldMapping& mapping) {
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

consteval FieldMapping Map(Ms2kTimbreField from, RadiasTimbreField to,
                           std::uint8_t (*map)(std::uint8_t)) {
    const FieldMapping mapping{from, to, map, nullptr, {}, false};
    if (!MapsIntoItsField(mapping)) {
        throw std::logic_error("a mapping must fit its values into one field");
    }
    return mapping;
}

// The same for a mapping that tells whether it is exact: `inexact` is reported when it is not.
consteval FieldMapping Map(Ms2kTimbreField from, RadiasTimbreField to,
                           MappedValue (*exactMap)(std::uint8_t), std::string_view inexact) {
    const FieldMapping mapping{from, to, nullptr, exactMap, inexact, true};
    if (inexact.empty() || !MapsIntoItsField(mapping)) {
        throw std::logic_error("a mapping must fit its values into one field and name them");
    }
    return mapping;
}

// What a decision sees: the whole MS2000 program, the timbre being converted, the Radias timbre
// block it goes into, and the report.
struct TimbreScope {
    std::span<const std::uint8_t> program;
    std::span<const std::uint8_t> m;  // the MS2000 timbre
    std::span<std::uint8_t> r;        // the Radias timbre block
    int timbre;                       // 1 or 2
    VoiceMode mode;
    ConversionReport& report;
};

// A decision and the Radias fields it may write (none for one that only reports).
struct Decision {
    static constexpr std::size_t kMaxWrites = 8;
    void (*run)(const TimbreScope&);
    std::array<RadiasTimbreField, kMaxWrites> writes;
    std::size_t writeCount;
};

consteval Decision Decide(void (*run)(const TimbreScope&),
                          std::initializer_list<RadiasTimbreField> writes = {}) {
    if (writes.size() > Decision::kMaxWrites) {
        throw std::logic_error("too many fields for one decision");
    }
    const RadiasTimbreField none = radias::Byte(0);
    Decision decision{run, {none, none, none, none, none, none, none, none}, writes.size()};
    std::copy(writes.begin(), writes.end(), decision.writes.begin());
    return decision;
}

using TimbreStep = std::variant<FieldMove, FieldMapping, Decision>;

// The Radias fields a step writes, for the checks of a table.
constexpr std::span<const RadiasTimbreField> TargetsOf(const TimbreStep& step) {
    if (const auto* move = std::get_if<FieldMove>(&step)) {
        return {&move->to, 1};
    }
    if (const auto* mapping = std::get_if<FieldMapping>(&step)) {
        return {&mapping->to, 1};
    }
    const auto& decision = std::get<Decision>(step);
    return {decision.writes.data(), decision.writeCount};
}

// True when no two steps of the table write the same bit.
template <std::size_t N>
constexpr bool EveryStepWritesItsOwnBits(const std::array<TimbreStep, N>& steps) {
    std::array<std::uint8_t, kRadiasTimbreSize> taken{};
    for (const TimbreStep& step : steps) {
        for (const RadiasTimbreField& field : TargetsOf(step)) {
            const std::uint8_t bits = field.Mask();
            for (std::size_t i = field.bits.offset; i < field.End(); ++i) {
                if ((taken[i] & bits) != 0) {
                    return false;
                }
                taken[i] = static_cast<std::uint8_t>(taken[i] | bits);
            }
        }
    }
    return true;
}

// The results of mapping row I for every value its MS2000 field can hold, worked out while
// compiling: a lookup needs neither a range check nor a call. (Steps and a row number rather than
// the row itself, which not every compiler takes as a template argument.)
template <const auto& Steps, std::size_t I>
inline constexpr auto kMappedValues = [] {
    constexpr FieldMapping mapping = std::get<FieldMapping>(Steps[I]);
    std::array<MappedValue, FieldMask(mapping.from.bits.low, mapping.from.bits.high) + 1U> values{};
    for (std::size_t in = 0; in < values.size(); ++in) {
        const auto value = static_cast<std::uint8_t>(in);
        values[in] = mapping.tellsExactness ? mapping.exactMap(value)
                                            : MappedValue{mapping.map(value), true};
    }
    return values;
}();

// Runs a table's steps in order. The table is a constant, so each step is too, and every choice
// below is made while compiling: a plain move becomes the few instructions of its own fields
// (masks and shifts are constants), a mapping a lookup in its row's kMappedValues and a decision
// a direct call, instead of a loop that reads each row and picks what to do with it.
template <const auto& Steps, std::size_t I>
void RunStep(const TimbreScope& scope) {
    constexpr const TimbreStep& step = Steps[I];
    if constexpr (std::holds_alternative<FieldMove>(step)) {
        constexpr FieldMove move = std::get<FieldMove>(step);
        if constexpr (move.kind == FieldMove::Kind::Constant) {
            Write(scope.r, move.to, move.value);
        } else if constexpr (move.to.count > 1) {
            std::copy_n(scope.m.begin() + static_cast<std::ptrdiff_t>(move.from.bits.offset),
                        move.to.count,
                        scope.r.begin() + static_cast<std::ptrdiff_t>(move.to.bits.offset));
        } else {
            Write(scope.r, move.to, Read(scope.m, move.from));
        }
    } else if constexpr (std::holds_alternative<FieldMapping>(step)) {
        constexpr FieldMapping mapping = std::get<FieldMapping>(step);
        const MappedValue mapped = kMappedValues<Steps, I>[Read(scope.m, mapping.from)];
        Write(scope.r, mapping.to, mapped.value);
        if constexpr (mapping.tellsExactness) {
            if (!mapped.exact) {
                scope.report.AddApproximation(mapping.inexact);
            }
        }
    } else {
        constexpr auto run = std::get<Decision>(step).run;
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
