#pragma once
// A small parser for "command FILE... --option value --flag" command lines.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace patchferry::cli {

struct OptionTable {
    std::set<std::string> withValue;  // "--sort", "-o", ...
    std::set<std::string> flags;      // "--all", "--force", "--help"
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> Value(const std::string& option) const;
};

// Parses `args` (without the command word). On an unknown option or a missing value returns
// nothing and writes the reason into `error`. "--" ends the options.
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const OptionTable& options, std::string& error);

// A whole number in [low, high], or nothing.
std::optional<int> ParseInt(const std::string& text, int low, int high);

}  // namespace patchferry::cli
