#pragma once
// The ordered, owning collection of listed programs. Row i of the program list shows entry i, so
// sorting the list reorders the library itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramEntry.h"

namespace patchferry {

// The texts a failed read reports, shown to the user after "Failed to parse Syx file %s. ".
inline constexpr std::string_view kErrorCannotOpen = "Cannot open file";
inline constexpr std::string_view kErrorNotKorgSyx = "File is not a valid Korg Syx File";
inline constexpr std::string_view kErrorCorrupted =
    "Failed to read file, patch data appears to be corrupted";

// List columns, in header order.
enum class ListColumn : int {
    File = 0,
    Bank = 1,
    Number = 2,
    Program = 3,
    Category = 4,
    ConversionInfo = 5,
};
inline constexpr int kListColumnCount = 6;

class ProgramLibrary {
  public:
    // Reads one MS2000 dump from the file at `path` (UTF-8) and appends its programs, each with
    // `fileLabel`. On failure writes one of the texts above into `error` and adds nothing.
    bool ReadSyxFile(const std::string& path, std::string& error, const std::string& fileLabel);

    // Appends the programs of a dump held in memory; the same rules as a file.
    bool ReadSyxBytes(std::span<const std::uint8_t> bytes, std::string& error,
                      const std::string& fileLabel);

    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    const ProgramEntry& operator[](std::size_t index) const { return *entries_[index]; }
    const ProgramEntry& At(std::size_t index) const { return *entries_.at(index); }

    // Reorders the entries ascending by the key of list column `column` (0..5), with ASCII
    // capitals folded onto small letters. Equal keys keep their order; column 5 has no key, and
    // columns outside 0..5 change nothing.
    void SortByColumn(int column);

    void Append(std::unique_ptr<ProgramEntry> entry) { entries_.push_back(std::move(entry)); }

  private:
    std::vector<std::unique_ptr<ProgramEntry>> entries_;
};

// The sort key of `entry` for `column`, already case-folded; empty for column 5.
std::string SortKey(const ProgramEntry& entry, ListColumn column);

}  // namespace patchferry
