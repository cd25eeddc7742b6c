#pragma once
// The building blocks of the timbre conversion table: plain moves, which are data, and decisions,
// which are small functions that declare the Radias fields they may write.
//
// A table runs in order, one step after the other. The order matters only for the report: its
// entries appear in the order of the decisions that make them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <stdexcept>
#include <utility>
#include <variant>

#include "convert/ConversionReport.h"
#include "convert/Ms2kTimbreLayout.h"
#include "convert/RadiasTimbreLayout.h"
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

constexpr void Apply(const FieldMove& move, std::span<const std::uint8_t> m,
                     std::span<std::uint8_t> r) {
    if (move.kind == FieldMove::Kind::Constant) {
        Write(r, move.to, move.value);
    } else if (move.to.count > 1) {
        std::copy_n(m.begin() + static_cast<std::ptrdiff_t>(move.from.bits.offset), move.to.count,
                    r.begin() + static_cast<std::ptrdiff_t>(move.to.bits.offset));
    } else {
        Write(r, move.to, Read(m, move.from));
    }
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

using TimbreStep = std::variant<FieldMove, Decision>;

// The Radias fields a step writes, for the checks of a table.
constexpr std::span<const RadiasTimbreField> TargetsOf(const TimbreStep& step) {
    if (const auto* move = std::get_if<FieldMove>(&step)) {
        return {&move->to, 1};
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

// Runs a table's steps in order. The table is a constant, so each step is too: every plain move is
// compiled to its own few instructions and every decision to a direct call, instead of a loop
// that reads each row and picks what to do with it.
template <const auto& Steps, std::size_t I>
void RunStep(const TimbreScope& scope) {
    constexpr const TimbreStep& step = Steps[I];
    if constexpr (std::holds_alternative<FieldMove>(step)) {
        constexpr FieldMove move = std::get<FieldMove>(step);
        Apply(move, scope.m, scope.r);
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
