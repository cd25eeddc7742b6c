#include "ProgramChoice.h"

#include "SafeFileName.h"

namespace patchferry::cli {

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
    std::string stem = entry.BankLabel() + entry.NumberLabel();
    const std::string name = entry.Name();
    if (const auto first = name.find_first_not_of(' '); first != std::string::npos) {
        stem += " " + name.substr(first);
    }
    return SafeFileName(stem, ".syx");
}

}  // namespace patchferry::cli
