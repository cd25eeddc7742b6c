#include "SafeFile.h"

#include <array>
#include <optional>
#include <random>
#include <system_error>

#include "library/platform/FileSystem.h"

namespace patchferry {

namespace {

WriteResult Refused(EntryKind existing) {
    return {WriteStatus::AlreadyThere, existing, {}};
}

// How many fresh names are tried before giving up.
constexpr int kFreshNameTries = 100;

// A fresh name "<stem>.<8 random hex digits>.part" in `folder`.
std::filesystem::path FreshPartName(const std::filesystem::path& folder,
                                    const std::filesystem::path& stem) {
    static thread_local std::mt19937 random{std::random_device{}()};
    constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                        '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string suffix = ".00000000.part";
    for (std::size_t i = 1; i <= 8; ++i) {
        suffix[i] = kHex[random() % kHex.size()];
    }
    auto path = folder / stem;
    path += suffix;
    return path;
}

// Writes `bytes` to a new file with a fresh name in `folder`, flushed to disk; its path, or
// nothing with the system's `reason`.
std::optional<std::filesystem::path> WriteFreshFile(const std::filesystem::path& folder,
                                                    const std::filesystem::path& stem,
                                                    std::span<const std::uint8_t> bytes,
                                                    std::string& reason) {
    for (int attempt = 0; attempt < kFreshNameTries; ++attempt) {
        auto path = FreshPartName(folder, stem);
        switch (platform::WriteExclusive(path, bytes, reason)) {
            case platform::Placed::Done:
                return path;
            case platform::Placed::NameTaken:
                continue;
            case platform::Placed::Failed:
                return std::nullopt;
        }
    }
    reason = std::make_error_code(std::errc::file_exists).message();
    return std::nullopt;
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

}  // namespace

EntryKind EntryAt(const std::filesystem::path& path) {
    return platform::EntryAt(path);
}

WriteResult WriteNewFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         ExistingEntry existing) {
    if (!target.has_filename()) {
        return {WriteStatus::Failed, EntryKind::None,
                std::make_error_code(std::errc::is_a_directory).message()};
    }
    const EntryKind before = platform::EntryAt(target);
    const bool replace = before == EntryKind::File && existing == ExistingEntry::ReplaceFile;
    if (before != EntryKind::None && !replace) {
        return Refused(before);
    }
    WriteResult result;
    const auto written = WriteFreshFile(FolderOf(target), target.filename(), bytes, result.reason);
    if (!written) {
        return result;
    }
    // Looked at again just before: only a plain file is ever replaced, even one that came while
    // the bytes were written.
    const EntryKind now = platform::EntryAt(target);
    if (now != EntryKind::None && !(replace && now == EntryKind::File)) {
        platform::RemoveFile(*written);
        return Refused(now);
    }
    switch (platform::Rename(*written, target, replace, result.reason)) {
        case platform::Placed::Done:
            result.status = WriteStatus::Written;
            return result;
        case platform::Placed::NameTaken:
            platform::RemoveFile(*written);
            return Refused(platform::EntryAt(target));
        case platform::Placed::Failed:
            break;
    }
    platform::RemoveFile(*written);
    return result;
}

std::string FolderRefusal(const std::filesystem::path& folder) {
    const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
    std::error_code ec;
    const auto status = std::filesystem::status(where, ec);
    if (ec) {
        return ec.message();
    }
    if (!std::filesystem::is_directory(status)) {
        return std::make_error_code(std::errc::not_a_directory).message();
    }
    std::string reason;
    const auto probe = WriteFreshFile(where, ".patchferry-check", {}, reason);
    if (!probe) {
        return reason;
    }
    platform::RemoveFile(*probe);
    return {};
}

}  // namespace patchferry
