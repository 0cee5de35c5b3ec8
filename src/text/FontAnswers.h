#pragma once

#include <QString>
#include <functional>

namespace zel {

// fontconfig's answers about the report's fonts (which family a name resolves to, which file a
// family is drawn from), kept from one run of a command to the next in the user's cache folder,
// so that a small job does not read fontconfig's whole configuration to learn what the last run
// learnt. The answers are kept with what they depend on: the files and folders of the
// configuration and of the fonts (time and size), the user's configuration places, fontconfig's
// version and the environment it reads; any change there and the question is asked afresh.
class FontAnswers {
public:
    // Turns keeping on for the process: `loadConfiguration` loads fontconfig's configuration,
    // and runs before the first question that the kept answers do not hold. Without it (a
    // program using the library) every question goes to fontconfig as it is set up. Called
    // before any font question.
    static void keep(std::function<void()> loadConfiguration);
    // The kept answer to the question, else ask()'s, which is then kept.
    static QString answer(const QString& question, const std::function<QString()>& ask);
    // Before asking fontconfig something that is not kept (the fallback order of a font).
    static void configurationNeeded();
};

}  // namespace zel
