#pragma once
// The Radias's program slots as the Radias shows them, A01..P16, and as numbers 1..256
// (A01 = 1, I01 = 129); inside the program a slot is its index 0..255.

#include <optional>
#include <string>
#include <utility>

namespace patchferry::synth {

// "A01".."P16" for 0..255.
std::string SlotName(int slot);
// A slot as the Radias shows it ("A01", "a1", "P16") or as a number 1..256; nothing otherwise.
std::optional<int> ParseSlot(const std::string& text);
// One slot, or a range "FIRST-LAST" running forwards; nothing otherwise.
std::optional<std::pair<int, int>> ParseSlotRange(const std::string& text);

}  // namespace patchferry::synth
