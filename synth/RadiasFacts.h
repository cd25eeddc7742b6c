#pragma once
// Every fact this program relies on about the Radias's System Exclusive messages, in one table,
// each marked with where it comes from:
//
//   RadiasDocument  read in Korg's own documents for the Radias (its owner's manual gives the
//                   exclusive header F0 42 3g 72 ... F7: Korg, format 3 with the global channel,
//                   model 72h).
//   EngineFamily    not found in a Radias document that could be read; taken from the published
//                   MIDI implementations of the Korg synths built on the same engine (microKORG
//                   XL, R3), which the Radias is expected to share. Unproven on a real Radias:
//                   every conversation that relies on one of these stops and says what arrived
//                   when the Radias answers otherwise, and never writes on a guess.
//
// The program dump the Audition sends (function 40h) is the form this program has always sent.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/KorgSysEx.h"

namespace patchferry::synth::radias {

enum class FactSource { RadiasDocument, EngineFamily };

inline constexpr std::uint8_t kModelId = 0x72;

enum class Function : std::uint8_t {
    CurrentProgramDumpRequest = 0x10,
    ProgramDumpRequest = 0x1C,
    DataLoadCompleted = 0x23,
    DataLoadError = 0x24,
    DataFormatError = 0x26,
    CurrentProgramDump = 0x40,
    ProgramDump = 0x4C,
};

struct FunctionFact {
    Function function;
    std::string_view name;  // as the MIDI implementations name the message
    FactSource source;
};

inline constexpr std::array kFunctionFacts{
    FunctionFact{Function::CurrentProgramDumpRequest, "CURRENT PROGRAM DATA DUMP REQUEST",
                 FactSource::EngineFamily},
    FunctionFact{Function::ProgramDumpRequest, "PROGRAM DATA DUMP REQUEST",
                 FactSource::EngineFamily},
    FunctionFact{Function::DataLoadCompleted, "DATA LOAD COMPLETED", FactSource::EngineFamily},
    FunctionFact{Function::DataLoadError, "DATA LOAD ERROR", FactSource::EngineFamily},
    FunctionFact{Function::DataFormatError, "DATA FORMAT ERROR", FactSource::EngineFamily},
    FunctionFact{Function::CurrentProgramDump, "CURRENT PROGRAM DATA DUMP",
                 FactSource::EngineFamily},
    FunctionFact{Function::ProgramDump, "PROGRAM DATA DUMP", FactSource::EngineFamily},
};

constexpr std::string_view FunctionName(Function function) {
    for (const FunctionFact& fact : kFunctionFacts) {
        if (fact.function == function) {
            return fact.name;
        }
    }
    return {};
}

// The header of every Radias message: RadiasDocument.
inline constexpr FactSource kHeaderSource = FactSource::RadiasDocument;
// The family's device inquiry answer, F0 7E 0g 06 02 42 72 00 mm 00 vv vv vv vv F7: family 72h
// as the model ID. EngineFamily; the member byte mm of a Radias is not known.
inline constexpr std::uint16_t kInquiryFamily = kModelId;
inline constexpr FactSource kInquirySource = FactSource::EngineFamily;
// It answers only on its global channel, and only while its global MIDI filter passes System
// Exclusive: EngineFamily (as the MS2000 does).
inline constexpr FactSource kGlobalChannelOnlySource = FactSource::EngineFamily;

// Its memory: 256 programs, shown A01..H16 and I01..P16, 16 banks of 16. RadiasDocument (the
// owner's manual maps program change 0..127 with bank select LSB 0 to A01..H16, LSB 1 to
// I01..P16).
inline constexpr int kBanks = 16;
inline constexpr int kProgramsPerBank = 16;
inline constexpr int kPrograms = kBanks * kProgramsPerBank;
inline constexpr int kProgramsPerHalf = 128;
inline constexpr FactSource kMemorySource = FactSource::RadiasDocument;

// A program's address in PROGRAM DATA DUMP REQUEST (1Ch) and PROGRAM DATA DUMP (4Ch): two bytes
// after the function, its number in its half (0..127), then the half (0 for A01..H16, 1 for
// I01..P16). EngineFamily: the second byte's meaning is not in any document that could be read;
// a Radias that reads it otherwise answers for another address, which is checked and stops.
inline constexpr std::size_t kAddressSize = 2;
inline constexpr FactSource kAddressSource = FactSource::EngineFamily;

// A whole answer with no data: F0 42 3g 72 ff F7.
inline constexpr std::size_t kShortAnswerSize = korg::kHeaderSize + 1;

static_assert(FunctionName(Function::DataLoadError) == "DATA LOAD ERROR");
static_assert(kPrograms == 2 * kProgramsPerHalf);
static_assert(korg::kHeaderSize == 5);

}  // namespace patchferry::synth::radias
