#include "CliArgs.h"

#include <charconv>

namespace patchferry::cli {

std::optional<std::string> ParsedArgs::Value(const std::string& option) const {
    const auto found = values.find(option);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const OptionTable& options, std::string& error) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            parsed.positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (options.flags.count(arg) != 0) {
            parsed.flags.insert(arg);
        } else if (options.withValue.count(arg) != 0) {
            if (i + 1 == args.size()) {
                error = "option " + arg + " needs a value";
                return std::nullopt;
            }
            parsed.values[arg] = args[++i];
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    return parsed;
}

std::optional<int> ParseInt(const std::string& text, int low, int high) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace patchferry::cli
