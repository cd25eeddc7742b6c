#pragma once
// Writing a new file safely: the bytes go to a temporary file with a fresh name beside the target,
// made there exclusively and never through a link, flushed to disk, and only then given the
// target's name. A name already taken by anything (a file, a folder, a link that points nowhere,
// a device) is never replaced unless asked for, and even then only a plain file is.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace patchferry {

// What is at a name, without following a link there.
enum class EntryKind {
    None,    // nothing there (or nothing this process may look at; writing then says why)
    File,    // a plain file
    Folder,  // a folder
    Link,    // a symbolic link (or another kind of reparse point), whether or not it leads anywhere
    Other,   // a device, a pipe, a socket
};

EntryKind EntryAt(const std::filesystem::path& path);

enum class ExistingEntry {
    Keep,         // any entry at the name is left as it is: the write is refused
    ReplaceFile,  // a plain file at the name is replaced; anything else is left as it is
};

enum class WriteStatus {
    Written,
    AlreadyThere,  // something is at the name and was left as it is (see `existing` for what)
    Failed,        // the system refused; `reason` says why
};

struct WriteResult {
    WriteStatus status = WriteStatus::Failed;
    EntryKind existing = EntryKind::None;  // what was at the name when it was refused
    std::string reason;                    // the system's words, e.g. "Permission denied"
};

// Writes `bytes` as the new file `target`; never throws.
WriteResult WriteNewFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         ExistingEntry existing);

// Why no new file can be made in `folder` ("No such file or directory", "Not a directory",
// "Permission denied", ...), found by making a temporary file there and removing it again; empty
// when one can. An empty path is the current folder. Never throws.
std::string FolderRefusal(const std::filesystem::path& folder);

}  // namespace patchferry
