// The real multimedia seam: each call passes straight to winmm.dll with the structure sizes the
// service expects.

#include "midi/winmm/WinMmApi.h"
#include "midi/winmm/WinMmInApi.h"

namespace patchferry::midi::winmm {
namespace {

class Library final : public WinMmApi {
  public:
    UINT GetNumDevs() override { return midiOutGetNumDevs(); }
    MMRESULT GetDevCaps(UINT device, MIDIOUTCAPSW& caps) override {
        return midiOutGetDevCapsW(device, &caps, sizeof(caps));
    }
    MMRESULT Open(HMIDIOUT& out, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) override {
        return midiOutOpen(&out, device, callback, instance, flags);
    }
    MMRESULT Close(HMIDIOUT out) override { return midiOutClose(out); }
    MMRESULT PrepareHeader(HMIDIOUT out, MIDIHDR& header) override {
        return midiOutPrepareHeader(out, &header, sizeof(MIDIHDR));
    }
    MMRESULT LongMsg(HMIDIOUT out, MIDIHDR& header) override {
        return midiOutLongMsg(out, &header, sizeof(MIDIHDR));
    }
    MMRESULT UnprepareHeader(HMIDIOUT out, MIDIHDR& header) override {
        return midiOutUnprepareHeader(out, &header, sizeof(MIDIHDR));
    }
    MMRESULT Reset(HMIDIOUT out) override { return midiOutReset(out); }
    MMRESULT GetErrorText(MMRESULT code, wchar_t* text, UINT size) override {
        return midiOutGetErrorTextW(code, text, size);
    }
};

class InLibrary final : public WinMmInApi {
  public:
    UINT GetNumDevs() override { return midiInGetNumDevs(); }
    MMRESULT GetDevCaps(UINT device, MIDIINCAPSW& caps) override {
        return midiInGetDevCapsW(device, &caps, sizeof(caps));
    }
    MMRESULT Open(HMIDIIN& in, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                  DWORD flags) override {
        return midiInOpen(&in, device, callback, instance, flags);
    }
    MMRESULT Close(HMIDIIN in) override { return midiInClose(in); }
    MMRESULT PrepareHeader(HMIDIIN in, MIDIHDR& header) override {
        return midiInPrepareHeader(in, &header, sizeof(MIDIHDR));
    }
    MMRESULT UnprepareHeader(HMIDIIN in, MIDIHDR& header) override {
        return midiInUnprepareHeader(in, &header, sizeof(MIDIHDR));
    }
    MMRESULT AddBuffer(HMIDIIN in, MIDIHDR& header) override {
        return midiInAddBuffer(in, &header, sizeof(MIDIHDR));
    }
    MMRESULT Start(HMIDIIN in) override { return midiInStart(in); }
    MMRESULT Reset(HMIDIIN in) override { return midiInReset(in); }
};

}  // namespace

std::unique_ptr<WinMmInApi> CreateWinMmInApi() {
    return std::make_unique<InLibrary>();
}

std::unique_ptr<WinMmApi> CreateWinMmApi() {
    return std::make_unique<Library>();
}

}  // namespace patchferry::midi::winmm
