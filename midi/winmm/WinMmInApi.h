#pragma once
// The thin seam between the WinMM input logic and winmm.dll's midiIn calls, as WinMmApi is for
// the output. The real one lives in WinMmApiLib.cpp; tests put their own in its place.

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <memory>

namespace patchferry::midi::winmm {

class WinMmInApi {
  public:
    WinMmInApi() = default;
    WinMmInApi(const WinMmInApi&) = delete;
    WinMmInApi& operator=(const WinMmInApi&) = delete;
    virtual ~WinMmInApi() = default;

    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT GetDevCaps(UINT device, MIDIINCAPSW& caps) = 0;
    virtual MMRESULT Open(HMIDIIN& in, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags) = 0;
    virtual MMRESULT Close(HMIDIIN in) = 0;
    virtual MMRESULT PrepareHeader(HMIDIIN in, MIDIHDR& header) = 0;
    virtual MMRESULT UnprepareHeader(HMIDIIN in, MIDIHDR& header) = 0;
    virtual MMRESULT AddBuffer(HMIDIIN in, MIDIHDR& header) = 0;
    virtual MMRESULT Start(HMIDIIN in) = 0;
    virtual MMRESULT Reset(HMIDIIN in) = 0;
};

// The real winmm.dll.
std::unique_ptr<WinMmInApi> CreateWinMmInApi();

}  // namespace patchferry::midi::winmm
