#pragma once
// The texts that tell the user a MIDI output failed, with the service's own text for the code.

#include <string>
#include <string_view>

namespace patchferry::midi {

inline constexpr std::string_view kOpenFailedPrefix =
    "Error: Failed to open the specified MIDI port. ";
inline constexpr std::string_view kSendFailedPrefix =
    "Error: Failed to send Midi SysEx message to MS2K. ";

inline std::string OpenFailureMessage(std::string_view serviceText) {
    return std::string(kOpenFailedPrefix).append(serviceText);
}

inline std::string SendFailureMessage(std::string_view serviceText) {
    return std::string(kSendFailedPrefix).append(serviceText);
}

}  // namespace patchferry::midi
