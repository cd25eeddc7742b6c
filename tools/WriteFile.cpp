#include "WriteFile.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "library/Utf8Path.h"

namespace patchferry::cli {

bool AlreadyThere(const std::string& target) {
    const auto file = PathFromUtf8(target);
    std::error_code ec;
    return file && std::filesystem::exists(*file, ec);
}

bool WriteBytesFile(const std::string& target, std::span<const std::uint8_t> bytes,
                    Overwrite overwrite, CliEnvironment& env, const std::string& command) {
    const std::string prefix = "patchferry-cli " + command + ": ";
    const auto file = PathFromUtf8(target);
    if (!file) {
        env.err << prefix << "cannot write " << target << "\n";
        return false;
    }
    const auto refuse = [&] {
        env.err << prefix << target << " is already there"
                << (overwrite == Overwrite::IfForced ? " (--force replaces it)"
                                                     : "; it was left as it is")
                << "\n";
        return false;
    };
    std::error_code ec;
    if (overwrite != Overwrite::Replace && std::filesystem::exists(*file, ec)) {
        return refuse();
    }
    auto partial = *file;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(partial, ec);
            env.err << prefix << "cannot write " << target << "\n";
            return false;
        }
    }
    if (overwrite == Overwrite::Replace) {
        std::filesystem::rename(partial, *file, ec);
    } else {
        // A link fails when the name is taken, even by a file that came meanwhile; where the
        // file system has no links, the check above has to do.
        std::error_code linkError;
        std::filesystem::create_hard_link(partial, *file, linkError);
        std::error_code thereError;
        if (linkError && std::filesystem::exists(*file, thereError)) {
            std::filesystem::remove(partial, ec);
            return refuse();
        }
        if (linkError) {
            std::filesystem::rename(partial, *file, ec);
        } else {
            std::filesystem::remove(partial, ec);
            ec.clear();  // the file is in place; a leftover link is no failure of the write
        }
    }
    if (ec) {
        std::filesystem::remove(partial, ec);
        env.err << prefix << "cannot write " << target << "\n";
        return false;
    }
    return true;
}

}  // namespace patchferry::cli
