// Sorting the library by a list column's key.

#include <algorithm>
#include <numeric>

#include "NameMatch.h"
#include "ProgramLibrary.h"

namespace patchferry {

std::string SortKey(const ProgramEntry& entry, ListColumn column) {
    std::string key;
    switch (column) {
        case ListColumn::File:
            key = entry.FileLabel() + entry.BankLabel() + entry.NumberLabel();
            break;
        case ListColumn::Bank:
            key = entry.BankLabel() + entry.NumberLabel();
            break;
        case ListColumn::Number:
            key = entry.NumberLabel() + entry.FileLabel();
            break;
        case ListColumn::Program:
            key = entry.Name();
            break;
        case ListColumn::Category:
            key = std::string(entry.CategoryLabel()) + entry.BankLabel();
            break;
        case ListColumn::ConversionInfo:
            break;
    }
    return ToLowerAscii(key);
}

void ProgramLibrary::SortByColumn(int column) {
    if (column < 0 || column >= kListColumnCount ||
        static_cast<ListColumn>(column) == ListColumn::ConversionInfo || entries_.size() < 2) {
        return;
    }
    // Each key is built once; the comparisons then only compare prepared strings. std::string
    // compares its characters as unsigned bytes, and a key that is a prefix of another sorts first.
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) {
        keys.push_back(SortKey(*entry, static_cast<ListColumn>(column)));
    }
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::unique_ptr<ProgramEntry>> sorted;
    sorted.reserve(entries_.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(entries_[index]));
    }
    entries_ = std::move(sorted);
}

}  // namespace patchferry
