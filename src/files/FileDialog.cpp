#include "files/FileDialog.h"

#include <QDir>
#include <QFileDialog>

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

Variant AskFileName(UserQuestions& questions, Variant& FileName, const Variant& Filter,
                    const Variant& Mode, const Variant& option, const Variant& DefaultDir) {
    const QString name = FileName.toString();
    const bool hasDirectory = name.contains(kSeparator);

    // Non-native, so that the question layer's answerer (tests, no display) can answer it.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(FileDialogTitle(option.toString(), name));
    dialog.setNameFilters(NameFilters(Filter.toString()));
    if (!DefaultDir.isMissing() && !DefaultDir.toString().trimmed().isEmpty())
        dialog.setDirectory(DefaultDir.toString());
    else if (hasDirectory)
        dialog.setDirectory(DirectoryPart(name, kSeparator));
    else
        dialog.setDirectory(QDir::currentPath());
    if (savesByMode(Mode.toString())) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    dialog.selectFile(hasDirectory ? FileNamePart(name, kSeparator) : name);

    if (questions.execQuestion(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        FileName = Variant(QString());
        return Variant::Integer(-1);
    }
    FileName = Variant(dialog.selectedFiles().constFirst());
    return Variant::Integer(0);
}

}  // namespace zel
