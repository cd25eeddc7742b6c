#pragma once
// The window's texts from the engine's: UTF-8 strings as QStrings, and a text the command line
// prints after its prefix made a sentence of its own.

#include <QString>
#include <string>

namespace patchferry {

inline QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

inline QString Sentence(const std::string& text) {
    QString sentence = Utf8(text);
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
    }
    return sentence;
}

}  // namespace patchferry
