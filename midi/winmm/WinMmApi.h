#pragma once
// The thin seam between the WinMM output logic and winmm.dll: just the multimedia calls the logic
// makes, with their own types and result codes. The real one lives in WinMmApiLib.cpp; tests put
// their own in its place. Names and texts come in the wide (UTF-16) form: the narrow one is in the
// machine's ANSI code page, which cannot hold every name and is not the UTF-8 the rest of the
// program speaks.

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <memory>

namespace patchferry::midi::winmm {

class WinMmApi {
  public:
    WinMmApi() = default;
    WinMmApi(const WinMmApi&) = delete;
    WinMmApi& operator=(const WinMmApi&) = delete;
    virtual ~WinMmApi() = default;

    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT GetDevCaps(UINT device, MIDIOUTCAPSW& caps) = 0;
    virtual MMRESULT Open(HMIDIOUT& out, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags) = 0;
    virtual MMRESULT Close(HMIDIOUT out) = 0;
    virtual MMRESULT PrepareHeader(HMIDIOUT out, MIDIHDR& header) = 0;
    virtual MMRESULT LongMsg(HMIDIOUT out, MIDIHDR& header) = 0;
    virtual MMRESULT UnprepareHeader(HMIDIOUT out, MIDIHDR& header) = 0;
    virtual MMRESULT Reset(HMIDIOUT out) = 0;
    virtual MMRESULT GetErrorText(MMRESULT code, wchar_t* text, UINT size) = 0;
};

// The real winmm.dll.
std::unique_ptr<WinMmApi> CreateWinMmApi();

}  // namespace patchferry::midi::winmm
