#pragma once
// Korg 7-bit packing: how Korg SysEx dumps carry 8-bit data in 7-bit MIDI data bytes.
//
//   8-bit stream:  b0 b1 b2 b3 b4 b5 b6 | b7 b8 ...
//   packed:        F  b0' b1' b2' b3' b4' b5' b6' | F  b7' b8' ...
//
// The stream is cut into groups of seven bytes (the last group may be shorter). Each group is one
// flag byte F followed by the group's bytes with bit 7 cleared (b'). Bit n of F (n = 0..6) holds
// bit 7 of the group's byte n; bit 7 of F is 0. N bytes pack into N + ceil(N / 7) bytes.
//
// The packing never restarts inside a dump: several program images stored back to back form one
// continuous stream, so group boundaries fall wherever they fall.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace patchferry {

inline constexpr std::size_t kKorgGroupSize = 7;  // data bytes per flag byte

// Packed size of an 8-bit stream of `unpacked` bytes.
constexpr std::size_t KorgPackedSize(std::size_t unpacked) {
    return unpacked + (unpacked + kKorgGroupSize - 1) / kKorgGroupSize;
}

// Streaming unpacker: feed it packed bytes one after another; it yields one 8-bit byte for every
// data byte and nothing for a flag byte. The position and the flag carry on across calls.
class KorgUnpacker {
  public:
    // Returns true and sets `out` when `in` was a data byte.
    constexpr bool Feed(std::uint8_t in, std::uint8_t& out) {
        const bool isFlag = position_ == 0;
        position_ = position_ == kKorgGroupSize ? 0 : position_ + 1;
        if (isFlag) {
            flags_ = in;
            return false;
        }
        out = (flags_ & 1U) != 0 ? static_cast<std::uint8_t>(in + 0x80U) : in;
        flags_ = static_cast<std::uint8_t>(flags_ >> 1U);
        return true;
    }

  private:
    std::size_t position_ = 0;  // 0 = flag byte, 1..7 = data bytes
    std::uint8_t flags_ = 0;
};

// Packs `in` into `out`, which must hold exactly KorgPackedSize(in.size()) bytes.
constexpr void KorgPack(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    std::size_t flagAt = 0;
    std::size_t next = 0;
    for (std::size_t j = 0; j < in.size(); ++j) {
        const std::size_t bit = j % kKorgGroupSize;
        if (bit == 0) {
            flagAt = next++;
            out[flagAt] = 0;
        }
        out[next++] = static_cast<std::uint8_t>(in[j] & 0x7FU);
        if ((in[j] & 0x80U) != 0) {
            out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | (1U << bit));
        }
    }
}

// Unpacks `in` into `out`; returns the number of bytes written (stops when `out` is full).
constexpr std::size_t KorgUnpack(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    KorgUnpacker unpacker;
    std::size_t written = 0;
    for (const std::uint8_t byte : in) {
        if (written == out.size()) {
            break;
        }
        std::uint8_t value = 0;
        if (unpacker.Feed(byte, value)) {
            out[written++] = value;
        }
    }
    return written;
}

std::vector<std::uint8_t> KorgPack(std::span<const std::uint8_t> in);

}  // namespace patchferry
