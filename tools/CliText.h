#pragma once
// The help texts of patchferry-cli.

#include <string_view>

namespace patchferry::cli {

inline constexpr std::string_view kMainUsage =
    "Usage: patchferry-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Lists, converts and sends Korg MS2000 programs as Korg Radias programs.\n"
    "\n"
    "Commands:\n"
    "  list FILE...             list every program of the MS2000 SysEx files\n"
    "  convert FILE ...         write Radias program dumps of programs of FILE\n"
    "  ports                    list the MIDI output ports\n"
    "  send FILE ...            convert a program and send it to a Radias\n"
    "\n"
    "  --help                   show this text; COMMAND --help shows a command's own\n"
    "  --version                show the version\n";

inline constexpr std::string_view kListUsage =
    "Usage: patchferry-cli list [--sort COLUMN] [--find TEXT] FILE...\n"
    "\n"
    "Reads the files as one Open of the window does and prints one line per program, fields\n"
    "separated by tabs: file, bank, number, name, category, conversion verdict.\n"
    "\n"
    "  --sort COLUMN   sort as a click on a list column does: 0 file, 1 bank, 2 number,\n"
    "                  3 program, 4 category, 5 conversion info (keeps the order)\n"
    "  --find TEXT     print only the programs whose name contains TEXT (case ignored)\n";

inline constexpr std::string_view kConvertUsage =
    "Usage: patchferry-cli convert FILE --program A1 [--channel 1..16] [-o OUT.syx]\n"
    "       patchferry-cli convert FILE --all -o FOLDER [--channel 1..16] [--force]\n"
    "\n"
    "Converts MS2000 programs into Radias program dumps (2052-byte SysEx messages).\n"
    "\n"
    "  --program BANKNUMBER  the program as listed: bank letter A..H and number 1..16\n"
    "  --channel N           MIDI channel 1..16 of the dump (default 1)\n"
    "  -o OUT.syx            write the dump there instead of to standard output\n"
    "  --all                 write every convertible program as its own file into FOLDER,\n"
    "                        named after bank, number and program name\n"
    "  --force               overwrite files that are already there\n";

inline constexpr std::string_view kPortsUsage =
    "Usage: patchferry-cli ports\n"
    "\n"
    "Lists the MIDI output ports, tab-separated: number, name, and \"hardware\" for a hardware\n"
    "MIDI port (the ones the window offers) or \"software\" for any other.\n";

inline constexpr std::string_view kSendUsage =
    "Usage: patchferry-cli send FILE --program A1 --port NAME [--channel 1..16]\n"
    "\n"
    "Converts the program and sends its dump to the hardware MIDI port of that name (letter\n"
    "case ignored, the first of equal names), then tells what went where.\n";

}  // namespace patchferry::cli
