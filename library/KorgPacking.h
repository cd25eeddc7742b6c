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

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

namespace patchferry {

inline constexpr std::size_t kKorgGroupSize = 7;  // data bytes per flag byte

// Packed size of an 8-bit stream of `unpacked` bytes.
constexpr std::size_t KorgPackedSize(std::size_t unpacked) {
    return unpacked + (unpacked + kKorgGroupSize - 1) / kKorgGroupSize;
}

namespace detail {
// kTopBits[f]: bit n of f moved to bit 7 of byte n, for the seven data bytes of a group.
inline constexpr auto kTopBits = [] {
    std::array<std::uint64_t, 128> table{};
    for (std::uint64_t flags = 0; flags < table.size(); ++flags) {
        for (unsigned bit = 0; bit < kKorgGroupSize; ++bit) {
            table[flags] |= ((flags >> bit) & 1U) << (8U * bit + 7U);
        }
    }
    return table;
}();
}  // namespace detail

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

// Unpacks `in` into `out` and returns the number of bytes written; stops when either runs out.
// A data byte that has bit 7 set (no correct dump holds one) is taken as it comes: when its flag
// bit is set, 0x80 is added modulo 256.
constexpr std::size_t KorgUnpack(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    std::size_t read = 0;
    std::size_t written = 0;
    // Whole groups first, eight packed bytes at a time. Adding 0x80 modulo 256 is flipping bit 7,
    // so a group is its seven data bytes XORed with the flag's bits spread to the bytes' tops.
    constexpr std::size_t kPackedGroup = kKorgGroupSize + 1;
    if constexpr (std::endian::native == std::endian::little) {
        if (!std::is_constant_evaluated()) {
            while (in.size() - read >= kPackedGroup && out.size() - written >= kKorgGroupSize) {
                std::uint64_t group = 0;
                std::memcpy(&group, in.data() + read, sizeof group);
                const std::uint64_t bytes = (group >> 8U) ^ detail::kTopBits[group & 0x7FU];
                std::memcpy(out.data() + written, &bytes, kKorgGroupSize);
                read += kPackedGroup;
                written += kKorgGroupSize;
            }
        }
    }
    while (read < in.size() && written < out.size()) {
        const std::uint8_t flags = in[read++];
        for (unsigned bit = 0; bit < kKorgGroupSize && read < in.size() && written < out.size();
             ++bit) {
            const auto top = static_cast<std::uint8_t>(((flags >> bit) & 1U) << 7U);
            out[written++] = static_cast<std::uint8_t>(in[read++] + top);
        }
    }
    return written;
}

std::vector<std::uint8_t> KorgPack(std::span<const std::uint8_t> in);

}  // namespace patchferry
