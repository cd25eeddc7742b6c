#include "app/Settings.h"

#include <QSettings>
#include <stdexcept>

namespace patchferry {
namespace {

const SettingInfo& InfoOf(Setting setting, SettingType type) {
    for (const auto& info : kSettings) {
        if (info.setting == setting) {
            if (info.type != type) {
                throw std::logic_error("setting used with the wrong type");
            }
            return info;
        }
    }
    throw std::out_of_range("unknown setting");
}

QString PathOf(const SettingInfo& info) {
    return QString::fromLatin1(info.section.data(), static_cast<qsizetype>(info.section.size())) +
           QLatin1Char('/') +
           QString::fromLatin1(info.key.data(), static_cast<qsizetype>(info.key.size()));
}

}  // namespace

int SettingsStore::ReadInteger(Setting setting) const {
    const auto& info = InfoOf(setting, SettingType::Integer);
    bool ok = false;
    const int value = settings_.value(PathOf(info)).toInt(&ok);
    return ok ? value : info.defaultInteger;
}

QString SettingsStore::ReadText(Setting setting) const {
    const auto& info = InfoOf(setting, SettingType::Text);
    const QVariant value = settings_.value(PathOf(info));
    return value.canConvert<QString>() ? value.toString() : QString();
}

void SettingsStore::Write(Setting setting, int value) {
    settings_.setValue(PathOf(InfoOf(setting, SettingType::Integer)), value);
}

void SettingsStore::Write(Setting setting, const QString& value) {
    settings_.setValue(PathOf(InfoOf(setting, SettingType::Text)), value);
}

}  // namespace patchferry
