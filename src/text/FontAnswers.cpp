#include "text/FontAnswers.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <map>
#include <mutex>

namespace zel {

namespace {

// What fontconfig reads from the environment: the configuration's place, the user's folders, and
// the language that orders the fonts.
constexpr const char* EnvironmentRead[] = {"FONTCONFIG_FILE",
                                           "FONTCONFIG_PATH",
                                           "FONTCONFIG_SYSROOT",
                                           "HOME",
                                           "XDG_CONFIG_HOME",
                                           "XDG_DATA_HOME",
                                           "FC_LANG",
                                           "LC_ALL",
                                           "LC_CTYPE",
                                           "LANG"};

QString home() {
    return QString::fromLocal8Bit(qgetenv("HOME"));
}

QString configHome() {
    const QString set = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    return set.isEmpty() ? home() + QStringLiteral("/.config") : set;
}

// Where the kept answers live; empty without a home.
QString answersFile() {
    QString folder = QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"));
    if (folder.isEmpty() && !home().isEmpty()) folder = home() + QStringLiteral("/.cache");
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/zelprint/font-answers");
}

// A file or folder as the answers depend on it: its time and size, or that it is not there
// (a user's configuration that appears later changes the answers too).
QByteArray pathState(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0) return "-";
    // Formatted at once: every run reads the state of some eighty paths.
    char state[64];
    std::snprintf(
        state, sizeof state, "%lld.%lld %lld", static_cast<long long>(info.st_mtim.tv_sec),
        static_cast<long long>(info.st_mtim.tv_nsec), static_cast<long long>(info.st_size));
    return QByteArray(state);
}

QByteArray pathLine(const QByteArray& path) {
    return "path " + path.toPercentEncoding() + ' ' + pathState(path.constData());
}

QByteArray environmentLine(const QByteArray& name) {
    return "env " + name + ' ' + qgetenv(name.constData()).toPercentEncoding();
}

QByteArray versionLine() {
    return "fontconfig " + QByteArray::number(FcGetVersion());
}

// Whether a kept line of what the answers depend on reads the same now. A path is kept as
// written: only its state is read again, for every run checks them all.
bool stillHolds(const QByteArray& kept) {
    if (kept.startsWith("path ")) {
        const qsizetype end = kept.indexOf(' ', 5);
        return end > 0 &&
               kept.mid(end + 1) ==
                   pathState(QByteArray::fromPercentEncoding(kept.mid(5, end - 5)).constData());
    }
    if (kept.startsWith("env ")) return environmentLine(kept.split(' ').value(1)) == kept;
    return versionLine() == kept;
}

void addPaths(QList<QByteArray>& lines, FcStrList* paths) {
    if (!paths) return;
    while (FcChar8* path = FcStrListNext(paths))
        lines.append(pathLine(QByteArray(reinterpret_cast<const char*>(path))));
    FcStrListDone(paths);
}

// What the answers of the configuration loaded now depend on.
QList<QByteArray> currentDependencies() {
    QList<QByteArray> lines{versionLine()};
    for (const char* name : EnvironmentRead) lines.append(environmentLine(name));
    addPaths(lines, FcConfigGetConfigFiles(nullptr));
    addPaths(lines, FcConfigGetFontDirs(nullptr));
    // The user's own configuration where fontconfig looks for it, there or not.
    for (const QString& place :
         {configHome() + QStringLiteral("/fontconfig/fonts.conf"),
          configHome() + QStringLiteral("/fontconfig/conf.d"),
          home() + QStringLiteral("/.fonts.conf"), home() + QStringLiteral("/.fonts.conf.d")})
        lines.append(pathLine(QFile::encodeName(place)));
    return lines;
}

struct Kept {
    std::recursive_mutex mutex;
    std::function<void()> loadConfiguration;
    std::once_flag loaded;
    bool read = false;
    std::map<QString, QString> answers;
};

Kept& kept() {
    static Kept state;
    return state;
}

// The answers in the file, when everything they depend on is as it was.
void readAnswers(Kept& state) {
    state.read = true;
    QFile file(answersFile());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return;
    std::map<QString, QString> answers;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty()) continue;
        if (line.startsWith("answer ")) {
            const QList<QByteArray> parts = line.split(' ');
            answers[QString::fromUtf8(QByteArray::fromPercentEncoding(parts.value(1)))] =
                QString::fromUtf8(QByteArray::fromPercentEncoding(parts.value(2)));
        } else if (!stillHolds(line)) {
            return;
        }
    }
    state.answers = std::move(answers);
}

// Writes the answers with what the configuration loaded now depends on; a cache that cannot be
// written only costs the next run its time.
void writeAnswers(const Kept& state) {
    const QString name = answersFile();
    if (name.isEmpty() || !QDir().mkpath(QFileInfo(name).path())) return;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return;
    QByteArray text = currentDependencies().join('\n') + '\n';
    for (const auto& [question, answer] : state.answers)
        text += "answer " + question.toUtf8().toPercentEncoding() + ' ' +
                answer.toUtf8().toPercentEncoding() + '\n';
    file.write(text);
    file.commit();
}

}  // namespace

void FontAnswers::keep(std::function<void()> loadConfiguration) {
    Kept& state = kept();
    const std::lock_guard<std::recursive_mutex> lock(state.mutex);
    state.loadConfiguration = std::move(loadConfiguration);
}

void FontAnswers::configurationNeeded() {
    // Unguarded: keep() runs before anything asks; call_once orders the loading itself.
    Kept& state = kept();
    if (state.loadConfiguration) std::call_once(state.loaded, state.loadConfiguration);
}

QString FontAnswers::answer(const QString& question, const std::function<QString()>& ask) {
    Kept& state = kept();
    const std::lock_guard<std::recursive_mutex> lock(state.mutex);
    if (!state.loadConfiguration) return ask();
    if (!state.read) readAnswers(state);
    const auto found = state.answers.find(question);
    if (found != state.answers.end()) return found->second;
    configurationNeeded();
    const QString answer = ask();
    state.answers[question] = answer;
    writeAnswers(state);
    return answer;
}

}  // namespace zel
