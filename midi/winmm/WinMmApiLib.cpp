// The real multimedia seam: each call passes straight to winmm.dll with the structure sizes the
// service expects.

#include "midi/winmm/WinMmApi.h"

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

}  // namespace

std::unique_ptr<WinMmApi> CreateWinMmApi() {
    return std::make_unique<Library>();
}

}  // namespace patchferry::midi::winmm
