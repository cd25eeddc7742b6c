#include "app/Commands.h"

#include <stdexcept>

namespace patchferry {
namespace {

std::string_view Before(std::string_view text, char separator) {
    return text.substr(0, text.find(separator));
}

std::string_view After(std::string_view text, char separator) {
    const auto at = text.find(separator);
    return at == std::string_view::npos ? std::string_view{} : text.substr(at + 1);
}

}  // namespace

const CommandInfo& InfoOf(CommandId id) {
    for (const auto& info : kCommands) {
        if (info.id == id) {
            return info;
        }
    }
    throw std::out_of_range("unknown command");
}

std::string_view MenuLabel(const CommandInfo& info) {
    return Before(info.menuText, '\t');
}
std::string_view MenuShortcut(const CommandInfo& info) {
    return After(info.menuText, '\t');
}
std::string_view StatusPrompt(const CommandInfo& info) {
    return Before(info.prompt, '\n');
}
std::string_view ToolTipPrompt(const CommandInfo& info) {
    return After(info.prompt, '\n');
}

}  // namespace patchferry
