#pragma once
// The window's commands: identifiers, menu texts and prompts in one table.
//
// A menu text carries its mnemonic ("&") and, after a tab, the key that runs it. A prompt holds two
// texts split at a line break: the first is shown in the message pane while the item is
// highlighted, the second is the toolbar button's tooltip.

#include <array>
#include <optional>
#include <string_view>

namespace patchferry {

enum class CommandId : int {
    Open = 57601,
    Exit = 57665,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    Find = 57636,
    Audition = 32774,
    About = 57664,
    Receive = 32800,
    SaveReceived = 32801,
    Identify = 32802,
    WriteToRadias = 32803,
    RestoreRadias = 32804,
    RandomProgram = 32792,
    SaveLastRandom = 32797,
    // Standard edit and pane commands: bound to keys, handled by nothing, so the keys do nothing.
    EditCopy = 57634,
    EditCut = 57635,
    EditPaste = 57637,
    EditUndo = 57643,
    NextPane = 57680,
    PrevPane = 57681,
};

struct CommandInfo {
    CommandId id;
    std::string_view menuText;  // empty for commands that are not on a menu
    std::string_view prompt;
    // Keys besides the one after the tab of the menu text ("" when unused), as portable key texts.
    std::array<std::string_view, 2> extraKeys;
};

inline constexpr std::array<CommandInfo, 20> kCommands{{
    {CommandId::Open, "O&pen Syx File(s)...\tCtrl+O", "Open Syx Files\nOpen  (Ctrl-O)", {}},
    {CommandId::Receive,
     "&Receive from MS2000...",
     "Receive programs straight from an MS2000 through MIDI\nReceive from MS2000",
     {}},
    {CommandId::SaveReceived,
     "Save Received &As...",
     "Save the programs last received, exactly as they came, to a file\nSave Received As",
     {}},
    {CommandId::Exit, "E&xit", "Quit the application; prompts to save documents\nExit", {}},
    {CommandId::ViewToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", {}},
    {CommandId::ViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", {}},
    {CommandId::Find, "&Find...\tCtrl+F", "Find Program\nFind Program (Ctrl-F)", {}},
    {CommandId::Audition,
     "&Audition\tCtrl+A",
     "Convert/Audition Program via MIDI\nConvert/Audition Program  (Ctrl-A)",
     {}},
    {CommandId::Identify,
     "&Identify Synth...",
     "Ask which instruments answer on the MIDI port, and on which channel\nIdentify Synth",
     {}},
    {CommandId::WriteToRadias,
     "&Write to Radias...",
     "Write the selected program, or every program listed, into the Radias's memory, backing up "
     "what it replaces\nWrite to Radias",
     {}},
    {CommandId::RestoreRadias,
     "Re&store Radias Backup...",
     "Put the programs of a Radias backup back into the slots they came from\nRestore Radias "
     "Backup",
     {}},
    {CommandId::About, "&About...", "About\nAbout", {}},
    {CommandId::RandomProgram, "", "Generate Random Program\nRandom Program (Ctrl-R)", {"Ctrl+R"}},
    {CommandId::SaveLastRandom, "", "Save the last Random program to disk\nSave Last Random", {}},
    {CommandId::EditCopy, "", "", {"Ctrl+C", "Ctrl+Ins"}},
    {CommandId::EditCut, "", "", {"Ctrl+X", "Shift+Del"}},
    {CommandId::EditPaste, "", "", {"Ctrl+V", "Shift+Ins"}},
    {CommandId::EditUndo, "", "", {"Ctrl+Z", "Alt+Backspace"}},
    {CommandId::NextPane, "", "", {"F6"}},
    {CommandId::PrevPane, "", "", {"Shift+F6"}},
}};

const CommandInfo& InfoOf(CommandId id);

// The parts of a menu text and of a prompt.
std::string_view MenuLabel(const CommandInfo& info);      // before the tab
std::string_view MenuShortcut(const CommandInfo& info);   // after the tab, or empty
std::string_view StatusPrompt(const CommandInfo& info);   // before the line break
std::string_view ToolTipPrompt(const CommandInfo& info);  // after the line break, or empty

}  // namespace patchferry
