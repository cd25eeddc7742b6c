#pragma once
// Naming programs of a file on the command line: one by its bank letter and number as listed
// ("A1", "a01" or "A001"), or several as a list of those and ranges ("A1,A5,B1-B16").

#include <optional>
#include <string>
#include <vector>

#include "library/ProgramLibrary.h"

namespace patchferry::cli {

struct ProgramLabel {
    char bank;   // 'A'..'H'
    int number;  // 1..16

    bool operator==(const ProgramLabel&) const = default;
};

std::optional<ProgramLabel> ParseProgramLabel(const std::string& text);

// The programs of a comma-separated list of labels and ranges, in the order written; a range
// runs through the banks in order ("A15-B2" is A15, A16, B1, B2). Nothing for a malformed list
// or a range that runs backwards.
std::optional<std::vector<ProgramLabel>> ParseProgramList(const std::string& text);

// The first entry with that bank and number, or -1.
int FindProgram(const ProgramLibrary& library, const ProgramLabel& label);

// A file name for a program's dump that every common file system accepts: "A001 Name.syx" with
// characters outside letters, digits, space, "-" and "_" replaced by "_".
std::string DumpFileName(const ProgramEntry& entry);

}  // namespace patchferry::cli
