#pragma once
// The settings kept between runs, one table of sections, keys, types and defaults.
//
// They live in the per-user QSettings store of organisation "Patchferry", application
// "Patchferry" (on Windows the registry key of that name). A missing or unreadable value reads as
// its default.

#include <array>
#include <string_view>

#include <QString>

class QSettings;

namespace patchferry {

enum class Setting {
    RectTop,
    RectLeft,
    RectBottom,
    RectRight,
    MidiChan,
    MidiPort,
    AppCurdir,
    ReceivePort,     // the receive dialog's MIDI input, by name
    ReceiveWhat,     // 0: the current program, 1: all programs
    ReceiveChannel,  // 0..15; -1: the MIDI bar's channel
};

enum class SettingType { Integer, Text };

struct SettingInfo {
    Setting setting;
    std::string_view section;
    std::string_view key;
    SettingType type;
    int defaultInteger;  // integers only; texts default to empty
};

inline constexpr std::array<SettingInfo, 10> kSettings{{
    {Setting::RectTop, "rect", "top", SettingType::Integer, 0},
    {Setting::RectLeft, "rect", "left", SettingType::Integer, 0},
    {Setting::RectBottom, "rect", "bottom", SettingType::Integer, 0},
    {Setting::RectRight, "rect", "right", SettingType::Integer, 0},
    {Setting::MidiChan, "midi", "chan", SettingType::Integer, 0},
    {Setting::MidiPort, "midi", "port", SettingType::Text, 0},
    {Setting::AppCurdir, "app", "curdir", SettingType::Text, 0},
    {Setting::ReceivePort, "receive", "port", SettingType::Text, 0},
    {Setting::ReceiveWhat, "receive", "what", SettingType::Integer, 1},
    {Setting::ReceiveChannel, "receive", "chan", SettingType::Integer, -1},
}};

inline constexpr std::string_view kOrganisationName = "Patchferry";
inline constexpr std::string_view kApplicationName = "Patchferry";

// Reads and writes the table's values in a QSettings store owned elsewhere.
class SettingsStore {
  public:
    explicit SettingsStore(QSettings& settings) : settings_(settings) {}

    int ReadInteger(Setting setting) const;
    QString ReadText(Setting setting) const;
    void Write(Setting setting, int value);
    void Write(Setting setting, const QString& value);

  private:
    QSettings& settings_;
};

}  // namespace patchferry
