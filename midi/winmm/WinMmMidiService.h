#pragma once
// MIDI output through the Windows multimedia MIDI service: the device number is the port's
// address, the service signals the completion event itself (CALLBACK_EVENT), and the driver
// header of a message is this backend's own business: prepared before the message goes, and
// unprepared (with its buffer released) only once the driver has let go of it.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "midi/MidiService.h"
#include "midi/winmm/WinMmApi.h"
#include "midi/winmm/WinMmInApi.h"

namespace patchferry::midi::winmm {

// The service writes at most this many characters of a result's text.
inline constexpr UINT kErrorTextSize = 99;

class WinMmMidiService final : public MidiService {
  public:
    // Without `inApi` there is no input: listing and opening one say it is not supported.
    explicit WinMmMidiService(std::unique_ptr<WinMmApi> api,
                                    std::unique_ptr<WinMmInApi> inApi = nullptr);
    ~WinMmMidiService() override;

    // Devices whose capabilities cannot be read are left out; a hardware port is one of the
    // MOD_MIDIPORT technology.
    MidiError ListPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError Open(const std::string& address, CompletionEvent& event,
                   MidiOutHandle& handle) override;
    void Close(MidiOutHandle handle) override;
    MidiError Send(MidiOutHandle handle, std::span<const std::uint8_t> message) override;
    MidiError FinishSend(MidiOutHandle handle) override;
    MidiError Reset(MidiOutHandle handle) override;
    MidiError ErrorFor(MidiErrorCause cause) override;

    // Inputs in the service's order, named as the outputs are. The input service tells no
    // technology: an input is a hardware port unless the output of its name is not one.
    MidiError ListInputPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError OpenInput(const std::string& address, MidiInputSink sink,
                        std::unique_ptr<MidiInputConnection>& input) override;

  private:
    // One message's driver header and the buffer it points at.
    struct Message {
        std::vector<std::uint8_t> buffer;
        MIDIHDR header{};
    };
    struct OpenPort {
        HMIDIOUT native = nullptr;
        std::unique_ptr<Message> message;  // the last message, until the driver has let go
    };

    OpenPort* Find(MidiOutHandle handle);
    // The error for a multimedia result (success for MMSYSERR_NOERROR), in the service's words.
    MidiError Error(MMRESULT result);
    std::string SystemText(MMRESULT result);
    // Unprepares and drops the port's message; resets the port first if the driver still holds
    // it. Nothing is released while the driver may still read it.
    void ReleaseMessage(OpenPort& port, bool resetIfPlaying);

    std::unique_ptr<WinMmApi> api_;
    std::unique_ptr<WinMmInApi> inApi_;
    std::map<std::uintptr_t, OpenPort> open_;
};

}  // namespace patchferry::midi::winmm
