#pragma once
// A named field of one fixed-size block (an MS2000 timbre or vocoder area, a Radias timbre or
// vocoder block): a bit range of one byte, or several whole bytes in a row. A field that does not
// lie inside its block does not compile. Each block has its own field type (FieldOf with the
// block's tag: Ms2kTimbreField, RadiasTimbreField ...), so that an MS2000 field cannot stand where
// a Radias field belongs, nor a vocoder-area field where a timbre's belongs.

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "convert/BitFields.h"

namespace patchferry {

struct BlockField {
    constexpr bool WholeBytes() const { return bits.low == 0 && bits.high == kHighestBit; }
    constexpr std::size_t End() const { return bits.offset + count; }
    // The field's bits within its byte (within each of its bytes).
    constexpr std::uint8_t Mask() const {
        return static_cast<std::uint8_t>(FieldMask(bits.low, bits.high) << bits.low);
    }

    BitField bits;
    std::size_t count;  // more than 1 only for whole bytes

  protected:
    consteval BlockField(std::size_t blockSize, std::size_t offset, unsigned low, unsigned high,
                         std::size_t byteCount)
        : bits(offset, low, high), count(byteCount) {
        if (byteCount == 0 || offset + byteCount > blockSize) {
            throw std::logic_error("field outside its block");
        }
        if (byteCount > 1 && !WholeBytes()) {
            throw std::logic_error("only whole bytes come in runs");
        }
    }
};

template <std::size_t BlockSize, typename BlockTag>
struct FieldOf : BlockField {
    static constexpr std::size_t kBlockSize = BlockSize;
    consteval FieldOf(std::size_t offset, unsigned low, unsigned high, std::size_t byteCount = 1)
        : BlockField(kBlockSize, offset, low, high, byteCount) {}
    // A single bit.
    consteval FieldOf(std::size_t offset, unsigned bit) : FieldOf(offset, bit, bit) {}
};

}  // namespace patchferry
