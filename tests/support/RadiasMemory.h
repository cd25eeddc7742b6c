#pragma once
// A Radias's memory for tests: 256 programs, each a program dump with its address, answering the
// requests for them as the Radias does.

#include <cstdint>
#include <span>
#include <vector>

namespace patchferry::testing {

// A program dump with the address of `slot` (0..255) on `channel` (0..15); its program differs
// from every other slot's.
std::vector<std::uint8_t> StoredDump(int slot, int channel);

class RadiasMemory {
  public:
    explicit RadiasMemory(int channel);

    // What the Radias sends back for `sent`: the dump of the slot a program dump request on its
    // channel names; for a program dump with its address, DATA LOAD COMPLETED once stored (DATA
    // LOAD ERROR while protected); nothing for anything else, and nothing once `silentAfter`
    // messages were answered (counted from the FallSilentAfter call).
    std::vector<std::vector<std::uint8_t>> Answer(std::span<const std::uint8_t> sent);
    void FallSilentAfter(int answers) {
        silentAfter_ = answers;
        answered_ = 0;
    }
    void Protect(bool on) { protected_ = on; }
    // A Radias that reads the half byte the other way round: it stores a written program in the
    // other half.
    void StoreInOtherHalf(bool on) { otherHalf_ = on; }
    const std::vector<std::uint8_t>& Program(int slot) const {
        return programs_[static_cast<std::size_t>(slot)];
    }

    // Every program, one after the other, as a backup of the slots `first`..`last` holds them.
    std::vector<std::uint8_t> Backup(int first, int last) const;

  private:
    int channel_;
    int answered_ = 0;
    int silentAfter_ = -1;
    bool protected_ = false;
    bool otherHalf_ = false;
    std::vector<std::vector<std::uint8_t>> programs_;
};

}  // namespace patchferry::testing
