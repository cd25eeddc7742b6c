#include "ProgressLine.h"

#include <ostream>

namespace patchferry::cli {
namespace {

constexpr std::chrono::milliseconds kProgressEvery{200};

}  // namespace

bool ProgressLine::Due(bool force) const {
    return env_.errIsTerminal &&
           (force || std::chrono::steady_clock::now() - shown_ >= kProgressEvery);
}

void ProgressLine::Show(const std::string& text) {
    if (!env_.errIsTerminal) {
        return;
    }
    shown_ = std::chrono::steady_clock::now();
    // Spaces cover what is left of a longer line before.
    const std::size_t cover = width_ > text.size() ? width_ - text.size() : 0;
    env_.err << '\r' << text << std::string(cover, ' ') << std::flush;
    width_ = text.size();
}

void ProgressLine::Clear() {
    if (width_ > 0) {
        env_.err << '\r' << std::string(width_, ' ') << '\r' << std::flush;
        width_ = 0;
    }
}

void ProgressLine::End() {
    if (width_ > 0) {
        env_.err << "\n";
        width_ = 0;
    }
}

}  // namespace patchferry::cli
