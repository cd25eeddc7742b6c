#pragma once
// Bit-field access to the bytes of a program image.
//
// Many parameters of both programs share a byte. A field is one byte of a region (a position in
// an image used as the base for offsets) and an inclusive bit range, bit 0 least significant:
//
//        7   6   5   4   3   2   1   0
//      +---+---+---+---+---+---+---+---+
//      |   | high  . . .   low |       |   field {offset, low, high}: width high - low + 1,
//      +---+---+---+---+---+---+---+---+   mask 2^width - 1 (1, 3, 7 ... 255)
//
// A field value is unsigned. SetBits keeps the byte's other bits and cuts a value that is wider
// than the field to the field's width, without notice: the conversion carries values across as
// they come, and cutting is what the receiving field can hold.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace patchferry {

inline constexpr unsigned kHighestBit = 7;

// Mask of a field of bits low..high, not yet shifted into place.
constexpr std::uint8_t FieldMask(unsigned low, unsigned high) {
    return static_cast<std::uint8_t>((1U << (high - low + 1U)) - 1U);
}

// The bits of the byte at `region[offset]`, `low`..`high`, shifted down to bit 0.
// Precondition: 0 <= low <= high <= 7.
constexpr std::uint8_t GetBits(std::span<const std::uint8_t> region, std::size_t offset,
                               unsigned low, unsigned high) {
    return static_cast<std::uint8_t>((region[offset] >> low) & FieldMask(low, high));
}

// `byte` with `value`, cut to the field's width, in bits `low`..`high`; its other bits kept.
// Precondition: 0 <= low <= high <= 7.
constexpr std::uint8_t WithBits(std::uint8_t byte, std::uint8_t value, unsigned low,
                                unsigned high) {
    const unsigned mask = FieldMask(low, high);
    const unsigned cleared = byte & ~(mask << low) & 0xFFU;
    return static_cast<std::uint8_t>(cleared | ((value & mask) << low));
}

// Writes `value`, cut to the field's width, into bits `low`..`high` of `region[offset]`; the
// byte's other bits keep their values. Precondition: 0 <= low <= high <= 7.
constexpr void SetBits(std::span<std::uint8_t> region, std::size_t offset, std::uint8_t value,
                       unsigned low, unsigned high) {
    region[offset] = WithBits(region[offset], value, low, high);
}

// One field, declared once as data. Built only from constants: a bit range that is not
// 0 <= low <= high <= 7 does not compile.
struct BitField {
    consteval BitField(std::size_t offsetInRegion, unsigned lowBit, unsigned highBit)
        : offset(offsetInRegion), low(lowBit), high(highBit) {
        if (low > high || high > kHighestBit) {
            throw std::logic_error("bit range must be 0 <= low <= high <= 7");
        }
    }
    // A single bit.
    consteval BitField(std::size_t offsetInRegion, unsigned bit)
        : BitField(offsetInRegion, bit, bit) {}

    std::size_t offset;
    unsigned low;
    unsigned high;

    constexpr unsigned Width() const { return high - low + 1U; }
};

constexpr std::uint8_t GetBits(std::span<const std::uint8_t> region, BitField field) {
    return GetBits(region, field.offset, field.low, field.high);
}

constexpr void SetBits(std::span<std::uint8_t> region, BitField field, std::uint8_t value) {
    SetBits(region, field.offset, value, field.low, field.high);
}

constexpr std::uint8_t WithBits(std::uint8_t byte, BitField field, std::uint8_t value) {
    return WithBits(byte, value, field.low, field.high);
}

static_assert(FieldMask(0, 0) == 1 && FieldMask(4, 5) == 3 && FieldMask(0, 7) == 0xFF);
static_assert(BitField{0, 4, 7}.Width() == 4 && BitField{0, 6}.Width() == 1);

}  // namespace patchferry
