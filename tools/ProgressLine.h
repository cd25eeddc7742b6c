#pragma once
// Progress on a terminal: one line on standard error, redrawn in place at most every 200 ms (so
// it moves five times a second), and nothing at all when standard error is not a terminal.

#include <chrono>
#include <string>

#include "Cli.h"

namespace patchferry::cli {

class ProgressLine {
  public:
    explicit ProgressLine(CliEnvironment& env) : env_(env) {}
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Whether it is time to draw again (always when `force`); the caller then builds the text.
    bool Due(bool force = false) const;
    void Show(const std::string& text);
    // Takes the line away, so that other output starts at the left.
    void Clear();
    // Leaves the last line standing and moves on to the next.
    void End();

  private:
    CliEnvironment& env_;
    std::chrono::steady_clock::time_point shown_{};
    std::size_t width_ = 0;  // of the line drawn, 0 when none is
};

}  // namespace patchferry::cli
