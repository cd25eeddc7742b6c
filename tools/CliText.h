#pragma once
// The help texts of patchferry-cli.

#include <cstddef>
#include <string_view>

namespace patchferry::cli {

// The program's own help is these two with a line for each command between them, its synopsis
// padded to kCommandColumnWidth and then its summary.
inline constexpr std::string_view kMainUsageHead =
    "Usage: patchferry-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Lists, converts and sends Korg MS2000 programs as Korg Radias programs, and receives\n"
    "programs from an MS2000.\n"
    "\n"
    "Commands:\n";
inline constexpr std::string_view kMainUsageTail =
    "\n"
    "  --help                   show this text; COMMAND --help shows a command's own\n"
    "  --version                show the version\n";
inline constexpr std::size_t kCommandColumnWidth = 25;

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
    "  -o OUT.syx            write the dump there instead of to standard output (- is\n"
    "                        standard output, never a terminal)\n"
    "  --all                 write every program as its own file into FOLDER,\n"
    "                        named after bank, number and program name\n"
    "  --force               replace files that are already there (only plain files:\n"
    "                        never a link, a folder or a device)\n";

inline constexpr std::string_view kPortsUsage =
    "Usage: patchferry-cli ports [--input]\n"
    "\n"
    "Lists the MIDI output ports, tab-separated: number, name, \"hardware\" for a hardware MIDI\n"
    "port (the ones the window offers) or \"software\" for any other, and the port's address\n"
    "(CLIENT:PORT with ALSA). When the ports cannot be listed, says why and exits with 1.\n"
    "\n"
    "  --input   list the MIDI input ports instead, the same way (what identify and receive\n"
    "            take as --port)\n";

inline constexpr std::string_view kSendUsage =
    "Usage: patchferry-cli send FILE --program LIST --port PORT [--channel 1..16]\n"
    "                          [--pause SECONDS] [--confirm]\n"
    "\n"
    "Converts the programs and sends their dumps, one after the other, through one open port,\n"
    "printing a line for each as it goes. Stops at the first failure (exit status 1); nothing\n"
    "is sent when a program is missing from the file or does not convert.\n"
    "\n"
    "  --program LIST   programs as listed, with commas and ranges: A1 or A1,A5,B1-B16\n"
    "  --port PORT      the port, tried in this order: its full name, its address\n"
    "                   (CLIENT:PORT with ALSA), its number as \"patchferry-cli ports\"\n"
    "                   prints them, then a part of its name (letter case ignored), taken\n"
    "                   when exactly one hardware port has it, or else exactly one port;\n"
    "                   software ports may be used too. Several fits are listed (exit 2)\n"
    "  --channel N      MIDI channel 1..16 of the dumps (default 1)\n"
    "  --pause SECONDS  wait that long between two programs (default 0; with --confirm,\n"
    "                   counted from the Radias's answer)\n"
    "  --confirm        listen on the MIDI input of the same interface for the Radias's answer\n"
    "                   to each program, up to 1 s after its dump has gone, and print it; stop\n"
    "                   (exit status 1) at the first program it refuses or does not answer.\n"
    "                   Needs an interface with a MIDI IN, cabled from the Radias's MIDI OUT\n";

inline constexpr std::string_view kIdentifyUsage =
    "Usage: patchferry-cli identify --port PORT\n"
    "\n"
    "Sends the MIDI device inquiry on the output of the interface whose input is PORT and\n"
    "prints a line for each instrument that answers: maker, family, member, global MIDI\n"
    "channel and version. Asks everyone first and waits a second for the answers; when none\n"
    "came, asks each channel in turn, 400 ms apart, up to the first answer. Exit status 1\n"
    "when nothing answered.\n"
    "\n"
    "  --port PORT   the MIDI input, looked up as send looks up its port, among the ports\n"
    "                \"patchferry-cli ports --input\" lists\n";

inline constexpr std::string_view kReceiveUsage =
    "Usage: patchferry-cli receive --port PORT (--current | --all) [--channel 1..16|auto]\n"
    "                             -o FILE\n"
    "\n"
    "Asks an MS2000 for its programs and writes its answer, exactly as it came, to FILE, which\n"
    "list, convert and send (and the window) open like any other. The request goes out on the\n"
    "output of the interface whose input is PORT. FILE is written only when the whole answer\n"
    "came, and never over a file that is already there; its folder is checked before the\n"
    "synth is asked. Progress is shown on a terminal.\n"
    "When nothing comes, says what to check (exit status 1).\n"
    "\n"
    "  --port PORT      the MIDI input, looked up as send looks up its port, among the ports\n"
    "                   \"patchferry-cli ports --input\" lists\n"
    "  --current        the program being edited (297 bytes)\n"
    "  --all            all 128 programs (37163 bytes, about 12 s on a MIDI cable)\n"
    "  --channel N      the MS2000's global MIDI channel 1..16 (default 1); auto finds it\n"
    "                   with the device inquiry first\n"
    "  -o FILE          where the answer goes; - writes it to standard output, for a pipe\n"
    "                   (never to a terminal; progress and messages go to standard error)\n";

inline constexpr std::string_view kBackupUsage =
    "Usage: patchferry-cli backup --port PORT [--channel 1..16] [--slots A01-P16] -o FILE\n"
    "\n"
    "Reads programs from a Radias's memory, one request at a time, each answer checked (a\n"
    "program dump of the slot asked, from the Radias on its channel) before the next request,\n"
    "and writes the dumps exactly as they came, in slot order, to FILE. FILE is written only\n"
    "when every program came, and never over a file that is already there; its folder is\n"
    "checked before the Radias is asked. Progress is shown on a terminal. Exit status 1 at\n"
    "the first answer missing or not as asked, saying what arrived.\n"
    "\n"
    "  --port PORT      the interface's MIDI output, looked up as send looks up its port (an\n"
    "                   input's name is taken too); its other direction is found by pairing\n"
    "  --channel N      the Radias's global MIDI channel 1..16 (default 1)\n"
    "  --slots RANGE    the slots, as the Radias shows them (A01..P16) or as numbers 1..256,\n"
    "                   one or a range: A01-H16, I01, 129-256 (default all 256)\n"
    "  -o FILE          where the programs go; - writes them to standard output, for a pipe\n";

inline constexpr std::string_view kWriteUsage =
    "Usage: patchferry-cli write FILE (--program LIST | --all) --to SLOT --port PORT\n"
    "                            [--channel 1..16] [--backup FILE]\n"
    "\n"
    "Converts the programs and writes them into the Radias's memory, the n-th into the n-th\n"
    "slot from SLOT, in the order given (--all: as the file lists them). First every slot they\n"
    "will replace is read back and saved to the backup file; nothing is written when that\n"
    "fails. Then each program, and the Radias's answer, before the next; the first one is read\n"
    "back and compared before any other is written. Stops (exit status 1) at the first\n"
    "refusal, silence or failure, saying what was and was not written and where the backup\n"
    "is. A run that would pass P16 is refused before anything is sent.\n"
    "\n"
    "  --program LIST   programs as listed, with commas and ranges: A1 or A1,A5,B1-B16\n"
    "  --all            every program of the file\n"
    "  --to SLOT        the first slot, as the Radias shows it (A01..P16) or 1..256\n"
    "  --port PORT      the interface's MIDI output, looked up as send looks up its port (an\n"
    "                   input's name is taken too); its other direction is found by pairing\n"
    "  --channel N      the Radias's global MIDI channel 1..16 (default 1)\n"
    "  --backup FILE    where the replaced programs go (default \"Radias backup\n"
    "                   YYYY-MM-DD HH-MM-SS.syx\" in the current folder); never over a file\n";

inline constexpr std::string_view kRestoreUsage =
    "Usage: patchferry-cli restore BACKUP --port PORT [--channel 1..16] [--backup FILE]\n"
    "\n"
    "Writes each program of a backup made by backup or write back into the slot it came from,\n"
    "on the channel given now, with the same care as write: the whole file is checked first\n"
    "(anything but Radias program dumps with their slot is refused and nothing is sent), what\n"
    "it will replace is backed up, then each program and its answer before the next.\n"
    "\n"
    "  --port PORT      as for write\n"
    "  --channel N      the Radias's global MIDI channel 1..16 (default 1)\n"
    "  --backup FILE    as for write\n";

}  // namespace patchferry::cli
