#include "windows/FileDialog.h"

#include <sys/vfs.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QSettings>
#include <QUrl>
#include <memory>

#include "files/UserQuestions.h"
#include "files/mdlFileHandling.h"

namespace zel {

namespace {

const QString kSeparator = QStringLiteral("/");

// The keywords whose dialog may name a new file: a save dialog that confirms an overwrite.
bool savesByMode(const QString& mode) {
    static const QStringList saving = {
        "OUTPUT", "OUTPUT-Q", "OUTPUT-BINARY", "OUTPUT-BINARY-Q", "OUTPUT-QU",
        "APPEND", "APPEND-Q", "BINARY",        "BINARY-Q",
    };
    return saving.contains(mode.toUpper());
}

QString qtPatterns(const QString& pattern) {
    QStringList patterns = pattern.split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(' ');
}

// A folder of a file system the kernel makes up (/proc, /sys, /dev and their kin elsewhere):
// listing one can block for good, where a read of a file such as /proc/kmsg never returns.
bool inPseudoFileSystem(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty()) return false;
    for (const char* root : {"/proc", "/sys", "/dev"}) {
        if (real == QLatin1String(root) || real.startsWith(QLatin1String(root) + kSeparator))
            return true;
    }
    struct statfs fs = {};
    if (::statfs(QFile::encodeName(real).constData(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x9fa0:      // proc
        case 0x62656572:  // sysfs
        case 0x64626720:  // debugfs
        case 0x74726163:  // tracefs
        case 0x73636673:  // securityfs
        case 0x1cd1:      // devpts
        case 0x27e0eb:    // cgroup
        case 0x63677270:  // cgroup2
        case 0x62656570:  // configfs
        case 0xcafe4a11:  // bpf
            return true;
        default:
            return false;
    }
}

// The folder the dialog opens in: the one the call names, or the home folder when it names
// none or one of a pseudo file system.
QString startFolder(const QString& named) {
    if (named.isEmpty() || inPseudoFileSystem(named)) return QDir::homePath();
    return named;
}

// Qt's dialogs open in the last folder any of them visited (kept in the settings of every Qt
// program of the user) before they are told where to start, and list it at once: that folder
// must not be one of a pseudo file system.
void forgetPseudoLastFolder() {
    QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
    const QString key = QStringLiteral("FileDialog/lastVisited");
    const QUrl last(settings.value(key).toString());
    if (last.isLocalFile() && inPseudoFileSystem(last.toLocalFile()))
        settings.setValue(key, QUrl::fromLocalFile(QDir::homePath()).toString());
}

// Icons and type names by a file's name and kind alone. Qt's own provider reads the first bytes
// of a file whose name does not tell its type, and a read of /proc/kmsg never returns: the
// dialog's listing thread would hang, and the server with it when the dialog closes.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override {
        if (!info.isFile()) return QAbstractFileIconProvider::icon(info.isDir() ? Folder : File);
        return QIcon::fromTheme(mimeType(info).iconName(), QAbstractFileIconProvider::icon(File));
    }
    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QAbstractFileIconProvider::type(info);
        const QMimeType mime = mimeType(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType mimeType(const QFileInfo& info) const {
        return mimes_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }
    QMimeDatabase mimes_;
};

}  // namespace

QStringList NameFilters(const QString& filter) {
    const QStringList parts =
        (filter.isEmpty() ? QStringLiteral("Alle bestanden (*.*)|*.*") : filter).split('|');
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString pattern = i + 1 < parts.size() ? parts.at(i + 1) : QStringLiteral("*");
        QString description = parts.at(i).trimmed();
        // The dialog reads the patterns from the last parentheses: a description that shows
        // its pattern already gets the converted one in its place.
        const QString shown = '(' + pattern + ')';
        if (description.endsWith(shown)) description.chop(shown.size());
        description = description.trimmed();
        filters << (description.isEmpty() ? QString() : description + ' ') + '(' +
                       qtPatterns(pattern) + ')';
    }
    return filters;
}

QString FileDialogTitle(const QString& option, const QString& fileName) {
    if (option == QLatin1String("E"))
        return "Kan bestand:" + fileName + " niet vinden, geef de bestandsnaam";
    if (!fileName.isEmpty()) return "Geef de plaats van bestand: " + fileName;
    return QStringLiteral("Geef de bestandsnaam:");
}

namespace {

// The icon provider lives as long as the dialog that uses it, and a while longer: it is a base
// made before the dialog and destroyed after it.
struct OwnIcons {
    NameOnlyIconProvider icons;
};

class NamingDialog : private OwnIcons, public QFileDialog {
public:
    NamingDialog() { setIconProvider(&icons); }
};

}  // namespace

Variant AskFileName(UserQuestions& questions, Variant& FileName, const Variant& Filter,
                    const Variant& Mode, const Variant& option, const Variant& DefaultDir) {
    const QString name = FileName.toString();
    const bool hasDirectory = name.contains(kSeparator);
    const QString title = FileDialogTitle(option.toString(), name);
    const QStringList filters = NameFilters(Filter.toString());
    QString named;  // the folder the call names
    if (!DefaultDir.isMissing() && !DefaultDir.toString().trimmed().isEmpty())
        named = DefaultDir.toString();
    else if (hasDirectory)
        named = DirectoryPart(name, kSeparator);
    const QString folder = startFolder(named);
    const bool saves = savesByMode(Mode.toString());
    const QString first = hasDirectory ? FileNamePart(name, kSeparator) : name;

    QString chosen;  // stays empty on cancel
    // The dialog is a widget: made, shown and read on the GUI thread.
    questions.ask(
        [&] {
            forgetPseudoLastFolder();
            auto dialog = std::make_unique<NamingDialog>();
            // Non-native, so that the question layer's answerer (tests, no display) can answer it.
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            dialog->setWindowTitle(title);
            dialog->setNameFilters(filters);
            dialog->setDirectory(folder);
            dialog->setAcceptMode(saves ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            dialog->setFileMode(saves ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
            dialog->selectFile(first);
            return dialog;
        },
        [&](QDialog& question, int result) {
            auto& dialog = static_cast<QFileDialog&>(question);
            const QStringList selected = dialog.selectedFiles();
            if (result == QDialog::Accepted && !selected.isEmpty()) chosen = selected.constFirst();
            // The folder the dialog ends in is the next one's start, in this program and in the
            // stored settings: never a pseudo file system's.
            if (inPseudoFileSystem(dialog.directory().absolutePath()))
                dialog.setDirectory(QDir::homePath());
        });
    FileName = Variant(chosen);
    return Variant::Integer(chosen.isEmpty() ? -1 : 0);
}

}  // namespace zel
