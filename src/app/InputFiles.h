#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <memory>
#include <vector>

namespace zel {

// The encodings a text is read in: UTF-8 when the whole file is, else Windows-1252 (what
// editors on the original platform write).
enum class TextEncoding { Utf8, Windows1252 };

struct InputFile {
    QString name;  // as shown to the user: the path given, or "standard input"
    QString path;  // where it is read from
    TextEncoding encoding = TextEncoding::Utf8;
    bool empty = false;
};

// The files of a job, looked at before anything prints, as lp does: each readable, and text
// unless the user asked for any data. Standard input ("-") and other pipes are kept in a
// temporary file first: templates are read by name, and a text is judged whole before its
// first line prints.
class InputFiles {
public:
    InputFiles();
    ~InputFiles();
    InputFiles(const InputFiles&) = delete;
    InputFiles& operator=(const InputFiles&) = delete;

    // An error text naming the first file that cannot be read or is not text (with how to
    // print it anyway), or empty when every file can be printed.
    QString read(const QStringList& names, bool anyData);
    const std::vector<InputFile>& files() const { return files_; }
    bool allEmpty() const;

private:
    // Copies a pipe into a temporary file and reopens `pipe` on the copy.
    QString keep(QFile& pipe, InputFile& input);

    std::vector<std::unique_ptr<QTemporaryFile>> kept_;
    std::vector<InputFile> files_;
};

}  // namespace zel
