#include "midi/winmm/WinMmMidiService.h"

#include "midi/winmm/WinMmInput.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

namespace patchferry::midi::winmm {
namespace {

// The cause every backend shares for a multimedia result.
MidiErrorCause CauseOf(MMRESULT result) {
    switch (result) {
        case MMSYSERR_NOERROR:
            return MidiErrorCause::None;
        case MMSYSERR_BADDEVICEID:
            return MidiErrorCause::NoSuchPort;
        case MMSYSERR_INVALHANDLE:
            return MidiErrorCause::NotOpen;
        case MIDIERR_STILLPLAYING:
            return MidiErrorCause::StillSending;
        case MMSYSERR_ALLOCATED:  // another program has the device open
            return MidiErrorCause::OtherProgram;
        case MMSYSERR_NODRIVER:
        case MMSYSERR_NOTENABLED:
            return MidiErrorCause::NoMidiSystem;
        case MMSYSERR_NOMEM:
            return MidiErrorCause::OutOfMemory;
        default:
            return MidiErrorCause::Other;
    }
}

std::uintptr_t KeyOf(HMIDIOUT native) {
    return reinterpret_cast<std::uintptr_t>(native);
}

// A device number as decimal text, nothing else.
bool ParseDevice(std::string_view text, UINT& device) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, device);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// UTF-16 from the service as the UTF-8 the rest of the program speaks; a broken surrogate becomes
// U+FFFD rather than losing the whole name.
std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr,
                            nullptr);
    }
    return text;
}

}  // namespace

WinMmMidiService::WinMmMidiService(std::unique_ptr<WinMmApi> api,
                                               std::unique_ptr<WinMmInApi> inApi)
    : api_(std::move(api)), inApi_(std::move(inApi)) {}

WinMmMidiService::~WinMmMidiService() {
    while (!open_.empty()) {
        Close(static_cast<MidiOutHandle>(open_.begin()->first));
    }
}

MidiError WinMmMidiService::ListPorts(std::vector<MidiPortInfo>& ports) {
    ports.clear();
    // The count is asked again before each device: devices may come and go meanwhile.
    for (UINT device = 0; device < api_->GetNumDevs(); ++device) {
        MIDIOUTCAPSW caps{};
        if (api_->GetDevCaps(device, caps) != MMSYSERR_NOERROR) {
            continue;
        }
        const std::wstring_view name(caps.szPname, wcsnlen(caps.szPname, std::size(caps.szPname)));
        ports.push_back(
            {Utf8FromWide(name), caps.wTechnology == MOD_MIDIPORT, std::to_string(device)});
    }
    return {};
}

MidiError WinMmMidiService::Open(const std::string& address, CompletionEvent& event,
                                       MidiOutHandle& handle) {
    handle = MidiOutHandle::Null;
    // Only a listed number reaches the service, which would take MIDI_MAPPER (0xFFFFFFFF) as its
    // MIDI mapper.
    UINT device = 0;
    if (!ParseDevice(address, device) || device >= api_->GetNumDevs()) {
        return Error(MMSYSERR_BADDEVICEID);
    }
    HMIDIOUT native = nullptr;
    const MMRESULT result = api_->Open(
        native, device, reinterpret_cast<DWORD_PTR>(event.NativeHandle()), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        return Error(result);
    }
    open_[KeyOf(native)].native = native;
    handle = static_cast<MidiOutHandle>(KeyOf(native));
    return {};
}

WinMmMidiService::OpenPort* WinMmMidiService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

void WinMmMidiService::ReleaseMessage(OpenPort& port, bool resetIfPlaying) {
    if (!port.message) {
        return;
    }
    MIDIHDR& header = port.message->header;
    if ((header.dwFlags & MHDR_PREPARED) != 0 &&
        api_->UnprepareHeader(port.native, header) == MIDIERR_STILLPLAYING) {
        if (!resetIfPlaying) {
            return;  // kept until the driver is done or the port is reset
        }
        api_->Reset(port.native);
        if (api_->UnprepareHeader(port.native, header) == MIDIERR_STILLPLAYING) {
            return;
        }
    }
    port.message.reset();
}

void WinMmMidiService::Close(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    if (it == open_.end()) {
        return;
    }
    OpenPort& port = it->second;
    ReleaseMessage(port, true);
    if (api_->Close(port.native) == MIDIERR_STILLPLAYING) {
        // Something is still queued: take it back, then close.
        api_->Reset(port.native);
        api_->Close(port.native);
    }
    open_.erase(it);
}

MidiError WinMmMidiService::Send(MidiOutHandle handle,
                                       std::span<const std::uint8_t> message) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return Error(MMSYSERR_INVALHANDLE);
    }
    ReleaseMessage(*port, false);
    if (port->message) {
        return Error(MIDIERR_STILLPLAYING);  // the previous message is still going out
    }
    auto next = std::make_unique<Message>();
    next->buffer.assign(message.begin(), message.end());
    MIDIHDR& header = next->header;
    header.lpData = reinterpret_cast<LPSTR>(next->buffer.data());
    header.dwBufferLength = static_cast<DWORD>(next->buffer.size());
    header.dwBytesRecorded = static_cast<DWORD>(next->buffer.size());
    // A failed prepare shows in the send's own result (an unprepared header is refused).
    static_cast<void>(api_->PrepareHeader(port->native, header));
    const MMRESULT result = api_->LongMsg(port->native, header);
    port->message = std::move(next);
    if (result != MMSYSERR_NOERROR) {
        ReleaseMessage(*port, true);
    }
    return Error(result);
}

MidiError WinMmMidiService::FinishSend(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return Error(MMSYSERR_INVALHANDLE);
    }
    // The driver marked the header done; the service reports nothing more about a message.
    ReleaseMessage(*port, false);
    return {};
}

MidiError WinMmMidiService::Reset(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return Error(MMSYSERR_INVALHANDLE);
    }
    const MMRESULT result = api_->Reset(port->native);
    ReleaseMessage(*port, true);
    return Error(result);
}

std::string WinMmMidiService::SystemText(MMRESULT code) {
    std::array<wchar_t, kErrorTextSize + 1> text{};
    const MMRESULT result = api_->GetErrorText(code, text.data(), kErrorTextSize);
    if (result != MMSYSERR_NOERROR || text[0] == L'\0') {
        return "MIDI error " + std::to_string(code) + ".";
    }
    return Utf8FromWide(std::wstring_view(text.data(), wcsnlen(text.data(), kErrorTextSize)));
}

MidiError WinMmMidiService::Error(MMRESULT result) {
    if (result == MMSYSERR_NOERROR) {
        return {};
    }
    return {CauseOf(result), static_cast<int>(result), SystemText(result)};
}

MidiError WinMmMidiService::ErrorFor(MidiErrorCause cause) {
    switch (cause) {
        case MidiErrorCause::None:
            return {};
        case MidiErrorCause::NoSuchPort:
            return Error(MMSYSERR_BADDEVICEID);
        case MidiErrorCause::NotOpen:
            return Error(MMSYSERR_INVALHANDLE);
        case MidiErrorCause::StillSending:
            return Error(MIDIERR_STILLPLAYING);
        case MidiErrorCause::OtherProgram:
            return Error(MMSYSERR_ALLOCATED);
        case MidiErrorCause::NoMidiSystem:
            return Error(MMSYSERR_NODRIVER);
        case MidiErrorCause::OutOfMemory:
            return Error(MMSYSERR_NOMEM);
        case MidiErrorCause::PortGone:
        case MidiErrorCause::NoAccess:
        case MidiErrorCause::TimedOut:
        case MidiErrorCause::TooLong:
        case MidiErrorCause::Other:
            break;
    }
    return {cause, static_cast<int>(MMSYSERR_ERROR), SystemText(MMSYSERR_ERROR)};
}

MidiError WinMmMidiService::ListInputPorts(std::vector<MidiPortInfo>& ports) {
    ports.clear();
    if (!inApi_) {
        return Error(MMSYSERR_NOTSUPPORTED);
    }
    std::vector<MidiPortInfo> outputs;
    static_cast<void>(ListPorts(outputs));
    for (UINT device = 0; device < inApi_->GetNumDevs(); ++device) {
        MIDIINCAPSW caps{};
        if (inApi_->GetDevCaps(device, caps) != MMSYSERR_NOERROR) {
            continue;
        }
        const std::string name = Utf8FromWide(
            std::wstring_view(caps.szPname, wcsnlen(caps.szPname, std::size(caps.szPname))));
        const bool softwareOutput =
            std::any_of(outputs.begin(), outputs.end(), [&](const MidiPortInfo& output) {
                return output.name == name && !output.hardwarePort;
            });
        ports.push_back({name, !softwareOutput, std::to_string(device)});
    }
    return {};
}

MidiError WinMmMidiService::OpenInput(const std::string& address, MidiInputSink sink,
                                            std::unique_ptr<MidiInputConnection>& input) {
    input.reset();
    if (!inApi_) {
        return Error(MMSYSERR_NOTSUPPORTED);
    }
    UINT device = 0;
    if (!ParseDevice(address, device) || device >= inApi_->GetNumDevs() || !sink) {
        return Error(MMSYSERR_BADDEVICEID);
    }
    // The service outlives its inputs; result texts are the same for inputs and outputs.
    auto opened = std::make_unique<WinMmInput>(
        *inApi_, std::move(sink), [this](MMRESULT result) { return SystemText(result); });
    const MMRESULT result = opened->Open(device);
    if (result != MMSYSERR_NOERROR) {
        return Error(result);
    }
    input = std::move(opened);
    return {};
}

}  // namespace patchferry::midi::winmm
