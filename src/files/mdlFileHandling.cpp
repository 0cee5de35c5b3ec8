#include "files/mdlFileHandling.h"

#include <QFileInfo>
#include <functional>

#include "files/NumberedFiles.h"
#include "files/UserQuestions.h"
#include "general/AlgFunc.h"
#include "variant/VbError.h"

namespace zel {

using NF = NumberedFiles;

namespace {

const QString kSeparator = QStringLiteral("/");

bool given(const Variant& DefaultDir) {
    return !DefaultDir.isMissing() && !DefaultDir.toString().trimmed().isEmpty();
}

// A name without a directory or drive part.
bool isBare(const QString& name) {
    return !name.contains('\\') && !name.contains('/') && !name.contains(':');
}

// One call of the service: the file number, the names and the recovery with the user.
class Opening {
public:
    Opening(UserQuestions& questions, NumberedFiles& files, Variant& FileName,
            const Variant& Filter, const Variant& Mode, const Variant& DefaultDir)
        : questions_(questions),
          files_(files),
          FileName_(FileName),
          Filter_(Filter),
          Mode_(Mode),
          DefaultDir_(DefaultDir),
          keyword_(Mode.toString().toUpper()) {}

    Variant run();

private:
    QString name() const { return FileName_.toString(); }

    // Runs a step until it succeeds, repairing each failure with the user. False when the user
    // gave up (the result is then -1).
    bool withRecovery(const std::function<void()>& step);
    bool ask(const QString& option) {
        return questions_.AskFileName(FileName_, Filter_, Mode_, Variant(option), DefaultDir_)
                   .toInteger() == 0;
    }
    bool confirmReplace() {
        return !FileExists(name()) ||
               questions_.MsgBox(name(), vbOKCancel,
                                 QStringLiteral("Bestand bestaat reeds, vervangen?")) == vbOK;
    }
    bool open(const std::function<void(int16_t, const QString&)>& how) {
        return withRecovery([&] { how(FileNr_, name()); });
    }
    // One of the pool's sequential opens.
    bool open(void (NF::*how)(int16_t, const QString&)) {
        return open([this, how](int16_t n, const QString& path) { (files_.*how)(n, path); });
    }
    bool openQuietly();
    bool openByteAccessEmptied();

    UserQuestions& questions_;
    NumberedFiles& files_;
    Variant& FileName_;
    const Variant& Filter_;
    const Variant& Mode_;
    const Variant& DefaultDir_;
    const QString keyword_;
    int16_t FileNr_ = 0;
};

bool Opening::withRecovery(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return true;
        } catch (const VbError& e) {
            const int16_t r = e.number() == VbErr::PathNotFound && !keyword_.startsWith("INPUT")
                                  ? MakePath(questions_, name(), QStringLiteral("J"), false)
                                  : (ask(QStringLiteral("E")) ? 0 : -1);
            if (r != 0) return false;
        }
    }
}

// The quiet modes: no name written back, no question, no recovery.
bool Opening::openQuietly() {
    const QString path = given(DefaultDir_) ? DefaultDir_.toString() + kSeparator + name() : name();
    try {
        if (keyword_ == QLatin1String("INPUT-SHARED-NQ"))
            files_.OpenInput(FileNr_, path);
        else
            files_.OpenBinary(FileNr_, path, NF::ByteAccess::ReadOnly);
        return true;
    } catch (const VbError&) {
        return false;
    }
}

// Emptied by a sequential output open closed at once, then opened for byte access under the
// same number.
bool Opening::openByteAccessEmptied() {
    if (!confirmReplace()) return false;
    if (!open([this](int16_t n, const QString& path) {
            files_.OpenOutput(n, path);
            files_.Close(n);
        }))
        return false;
    return open([this](int16_t n, const QString& path) {
        files_.OpenBinary(n, path, NF::ByteAccess::ReadWrite);
    });
}

Variant Opening::run() {
    FileNr_ = files_.FreeFile();
    const auto binary = [this](NF::ByteAccess access) {
        return
            [this, access](int16_t n, const QString& path) { files_.OpenBinary(n, path, access); };
    };
    bool opened = false;
    const QString& k = keyword_;
    if (k == "INPUT" || k == "INPUT-NP") {
        if (given(DefaultDir_) && isBare(name())) {
            Variant joined(DefaultDir_.toString() + kSeparator + name());
            AlgFunc::VervangTekst(joined, Variant("//"), Variant("/"), true, false, true);
            FileName_ = joined;
        }
        opened = open(&NF::OpenInput);
    } else if (k == "INPUT-Q") {
        opened = ask("Q") && open(&NF::OpenInput);
    } else if (k == "OUTPUT") {
        opened = confirmReplace() && open(&NF::OpenOutput);
    } else if (k == "OUTPUT-NT") {
        opened = open(&NF::OpenOutput);
    } else if (k == "OUTPUT-Q") {
        opened = ask("Q") && open(&NF::OpenOutput);
    } else if (k == "OUTPUT-QU") {
        if (ask("QU")) {
            FileName_ = Variant(DirectoryPart(name(), kSeparator) +
                                FileNamePart(name(), kSeparator).toUpper());
            opened = confirmReplace() && open(&NF::OpenOutput);
        }
    } else if (k == "APPEND") {
        opened = open(&NF::OpenAppend);
    } else if (k == "APPEND-Q") {
        opened = ask("Q") && open(&NF::OpenAppend);
    } else if (k == "BINARY" || k == "INPUT-BINARY") {
        opened = open(binary(NF::ByteAccess::ReadWrite));
    } else if (k == "BINARY-Q" || k == "INPUT-BINARY-Q") {
        opened = ask("Q") && open(binary(NF::ByteAccess::ReadWrite));
    } else if (k == "BINARY-WRITE") {
        opened = open(binary(NF::ByteAccess::WriteOnly));
    } else if (k == "INPUT-BINARY-SHARED") {
        opened = open(binary(NF::ByteAccess::ReadOnly));
    } else if (k == "INPUT-SHARED-NQ" || k == "INPUT-BINARY-SHARED-NQ") {
        opened = openQuietly();
    } else if (k == "OUTPUT-BINARY") {
        opened = openByteAccessEmptied();
    } else if (k == "OUTPUT-BINARY-Q") {
        opened = ask("Q") && openByteAccessEmptied();
    } else {
        questions_.MsgBox(QStringLiteral("Onbekende open opdracht aangetroffen"), vbOKOnly,
                          Mode_.toString());
    }
    return Variant::Integer(opened ? FileNr_ : int16_t(-1));
}

}  // namespace

Variant OpenFile(UserQuestions& questions, NumberedFiles& files, Variant& FileName,
                 const Variant& Filter, const Variant& Mode, const Variant& DefaultDir) {
    return Opening(questions, files, FileName, Filter, Mode, DefaultDir).run();
}

bool FileExists(const QString& name) {
    return !name.isEmpty() && QFileInfo(name).isFile();
}

QString FileNamePart(const QString& text, const QString& separator, bool SkipFirst) {
    QString part = text;
    if (!part.isEmpty() && SkipFirst) part.remove(0, 1);
    if (separator.isEmpty()) return part;
    const int last = part.lastIndexOf(separator);
    return last < 0 ? part : part.mid(last + separator.size());
}

QString DirectoryPart(const QString& text, const QString& separator, bool SkipLast) {
    QString part = text;
    if (!part.isEmpty() && SkipLast) part.chop(1);
    if (separator.isEmpty()) return QString();
    const int last = part.lastIndexOf(separator);
    return last < 0 ? QString() : part.left(last + separator.size());
}

int16_t MakePath(UserQuestions& questions, const QString& path, const QString& option,
                 bool Parent) {
    const QString Dir = DirectoryPart(path, kSeparator, Parent);
    // Nothing to create: no directory part, or the root.
    if (Dir.isEmpty() || Dir == kSeparator) return -1;
    if (option == QLatin1String("J") &&
        questions.MsgBox(Dir, vbOKCancel, QStringLiteral("Pad bestaat niet. Dit pad aanmaken?")) !=
            vbOK)
        return -1;
    for (;;) {
        try {
            NF::MkDir(Dir);
            return 0;
        } catch (const VbError& e) {
            if (e.number() != VbErr::PathNotFound || MakePath(questions, Dir, option, true) != 0)
                return -1;
        }
    }
}

}  // namespace zel
