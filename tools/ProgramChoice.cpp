#include "ProgramChoice.h"

#include <algorithm>

namespace patchferry::cli {
namespace {

constexpr char kFirstBank = 'A';
constexpr int kProgramsPerBank = 16;

int Position(const ProgramLabel& label) {
    return (label.bank - kFirstBank) * kProgramsPerBank + label.number - 1;
}

ProgramLabel AtPosition(int position) {
    return {static_cast<char>(kFirstBank + position / kProgramsPerBank),
            position % kProgramsPerBank + 1};
}

}  // namespace

std::optional<ProgramLabel> ParseProgramLabel(const std::string& text) {
    if (text.size() < 2 || text.size() > 4) {
        return std::nullopt;
    }
    const char bank =
        static_cast<char>(text[0] >= 'a' && text[0] <= 'z' ? text[0] - 'a' + 'A' : text[0]);
    if (bank < 'A' || bank > 'H') {
        return std::nullopt;
    }
    int number = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        number = number * 10 + (text[i] - '0');
    }
    if (number < 1 || number > 16) {
        return std::nullopt;
    }
    return ProgramLabel{bank, number};
}

std::optional<std::vector<ProgramLabel>> ParseProgramList(const std::string& text) {
    std::vector<ProgramLabel> programs;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const auto first = ParseProgramLabel(item.substr(0, dash));
        if (!first) {
            return std::nullopt;
        }
        if (dash == std::string::npos) {
            programs.push_back(*first);
        } else {
            const auto last = ParseProgramLabel(item.substr(dash + 1));
            if (!last || Position(*last) < Position(*first)) {
                return std::nullopt;
            }
            for (int p = Position(*first); p <= Position(*last); ++p) {
                programs.push_back(AtPosition(p));
            }
        }
        start = comma + 1;
    }
    return programs;
}

int FindProgram(const ProgramLibrary& library, const ProgramLabel& label) {
    for (int i = 0; i < library.Count(); ++i) {
        const auto& entry = library[static_cast<std::size_t>(i)];
        if (entry.BankLetter() == label.bank && entry.Number() == label.number) {
            return i;
        }
    }
    return -1;
}

std::string DumpFileName(const ProgramEntry& entry) {
    std::string name = entry.BankLabel() + entry.NumberLabel();
    std::string program;
    for (const char c : entry.Name()) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '_';
        program += safe ? c : '_';
    }
    // No leading or trailing spaces: some file systems drop or refuse them.
    const auto first = program.find_first_not_of(' ');
    const auto last = program.find_last_not_of(' ');
    if (first != std::string::npos) {
        name += " " + program.substr(first, last - first + 1);
    }
    return name + ".syx";
}

}  // namespace patchferry::cli
