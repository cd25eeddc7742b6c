#pragma once
// The multimedia MIDI input declarations the WinMM input logic uses, with Windows' values.

#include <windows.h>

struct MidiInHandle;
using HMIDIIN = MidiInHandle*;

struct MIDIHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    MIDIHDR* lpNext;
    DWORD_PTR reserved;
    DWORD dwOffset;
    DWORD_PTR dwReserved[8];
};

struct MIDIINCAPSW {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    wchar_t szPname[32];
    DWORD dwSupport;
};

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MIDIERR_STILLPLAYING = 65;

inline constexpr UINT MIM_OPEN = 0x3C1;
inline constexpr UINT MIM_CLOSE = 0x3C2;
inline constexpr UINT MIM_DATA = 0x3C3;
inline constexpr UINT MIM_LONGDATA = 0x3C4;
inline constexpr UINT MIM_ERROR = 0x3C5;
inline constexpr UINT MIM_LONGERROR = 0x3C6;

inline constexpr DWORD MHDR_DONE = 0x1;
inline constexpr DWORD MHDR_PREPARED = 0x2;
inline constexpr DWORD MHDR_INQUEUE = 0x4;

inline constexpr DWORD CALLBACK_FUNCTION = 0x30000;
