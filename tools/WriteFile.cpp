#include "WriteFile.h"

#include <ostream>

#include "library/SafeFile.h"
#include "library/Utf8Path.h"

namespace patchferry::cli {

namespace {

// Why nothing was written at `target`, where something of `kind` is.
std::string TakenText(const std::string& target, EntryKind kind, Overwrite overwrite) {
    switch (kind) {
        case EntryKind::Folder:
            return target + " is a folder; it was left as it is";
        case EntryKind::Link:
            return target +
                   " is a symbolic link; it was left as it is (nothing is written "
                   "through a link)";
        case EntryKind::Other:
            return target + " is not a plain file; it was left as it is";
        case EntryKind::None:
        case EntryKind::File:
            break;
    }
    return target + " is already there" +
           (overwrite == Overwrite::IfForced ? " (--force replaces it)" : "; it was left as it is");
}

}  // namespace

bool WriteBytesFile(const std::string& target, std::span<const std::uint8_t> bytes,
                    Overwrite overwrite, CliEnvironment& env, const std::string& command) {
    const std::string prefix = "patchferry-cli " + command + ": ";
    const auto file = PathFromUtf8(target);
    if (!file) {
        env.err << prefix << "cannot write " << target << ": the name is not valid here\n";
        return false;
    }
    const WriteResult result = WriteNewFile(
        *file, bytes,
        overwrite == Overwrite::Replace ? ExistingEntry::ReplaceFile : ExistingEntry::Keep);
    switch (result.status) {
        case WriteStatus::Written:
            return true;
        case WriteStatus::AlreadyThere:
            env.err << prefix << TakenText(target, result.existing, overwrite) << "\n";
            return false;
        case WriteStatus::Failed:
            break;
    }
    env.err << prefix << "cannot write " << target << ": " << result.reason << "\n";
    return false;
}

bool CanWriteNewFile(const std::string& target, CliEnvironment& env, const std::string& command) {
    const std::string prefix = "patchferry-cli " + command + ": ";
    const auto file = PathFromUtf8(target);
    if (!file || !file->has_filename()) {
        env.err << prefix << "cannot write " << target << ": give the name of a new file\n";
        return false;
    }
    if (const EntryKind kind = EntryAt(*file); kind == EntryKind::File) {
        env.err << prefix << target << " is already there; give a name that is not taken\n";
        return false;
    } else if (kind != EntryKind::None) {
        env.err << prefix << TakenText(target, kind, Overwrite::Never) << "\n";
        return false;
    }
    const auto folder = file->parent_path();
    if (const std::string refusal = FolderRefusal(folder); !refusal.empty()) {
        env.err << prefix << "cannot write into the folder "
                << (folder.empty() ? std::string(".") : Utf8FromPath(folder)) << ": " << refusal
                << "\n";
        return false;
    }
    return true;
}

}  // namespace patchferry::cli
