// Writing a file safely on Windows: CreateFileW with CREATE_NEW for the fresh file (never opens
// what is there, a link included), FlushFileBuffers before it takes its name, and MoveFileExW
// without MOVEFILE_REPLACE_EXISTING, which fails when the name is taken.

#include <windows.h>

#include <algorithm>
#include <limits>

#include "library/platform/FileSystem.h"

namespace patchferry::platform {

namespace {

// The system's own words for `error`, as UTF-8, without the closing full stop and line break.
std::string Reason(DWORD error) {
    LPWSTR buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : L"";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(error);
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes, std::string& reason) {
    constexpr std::size_t kMostAtOnce = std::numeric_limits<DWORD>::max() / 2;
    while (!bytes.empty()) {
        DWORD done = 0;
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kMostAtOnce));
        if (!WriteFile(file, bytes.data(), chunk, &done, nullptr)) {
            reason = Reason(GetLastError());
            return false;
        }
        bytes = bytes.subspan(done);
    }
    if (!FlushFileBuffers(file)) {
        reason = Reason(GetLastError());
        return false;
    }
    return true;
}

}  // namespace

EntryKind EntryAt(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Not there, or not to be looked at: making the file then fails with the reason, and
        // its name is never taken over anything.
        return EntryKind::None;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryKind::Link;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EntryKind::Folder;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? EntryKind::Other : EntryKind::File;
}

Placed WriteExclusive(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                      std::string& reason) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return Placed::NameTaken;
        }
        reason = Reason(error);
        return Placed::Failed;
    }
    const bool written = WriteAll(file, bytes, reason);
    if (!CloseHandle(file) && written) {
        reason = Reason(GetLastError());
    } else if (written) {
        return Placed::Done;
    }
    DeleteFileW(path.c_str());
    return Placed::Failed;
}

Placed Rename(const std::filesystem::path& from, const std::filesystem::path& to, bool replace,
              std::string& reason) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(from.c_str(), to.c_str(), flags)) {
        return Placed::Done;
    }
    const DWORD error = GetLastError();
    if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
        return Placed::NameTaken;
    }
    reason = Reason(error);
    return Placed::Failed;
}

void RemoveFile(const std::filesystem::path& path) {
    DeleteFileW(path.c_str());
}

}  // namespace patchferry::platform
