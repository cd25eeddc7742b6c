#pragma once
// Naming one program of a file on the command line: its bank letter and number as listed,
// "A1", "a01" or "A001".

#include <optional>
#include <string>

#include "library/ProgramLibrary.h"

namespace patchferry::cli {

struct ProgramLabel {
    char bank;   // 'A'..'H'
    int number;  // 1..16
};

std::optional<ProgramLabel> ParseProgramLabel(const std::string& text);

// The first entry with that bank and number, or -1.
int FindProgram(const ProgramLibrary& library, const ProgramLabel& label);

// A file name for a program's dump that every common file system accepts: "A001 Name.syx", made
// safe as SafeFileName does.
std::string DumpFileName(const ProgramEntry& entry);

}  // namespace patchferry::cli
