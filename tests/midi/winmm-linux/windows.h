#pragma once
// Just enough of the Windows types for the WinMM input logic to build on Linux, where its tests
// also run under the sanitizers. The sizes follow 64-bit Windows (32-bit DWORD and UINT).

#include <cstdint>

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using DWORD_PTR = std::uintptr_t;
using LPSTR = char*;
using MMRESULT = UINT;
using MMVERSION = UINT;
#define CALLBACK
