#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

// A pool of numbered files: numbers 1 to 255, each naming at most one open file, with the
// platform's error numbers. Each print context has a pool of its own, so that one client's open
// files never take another's numbers. Opening refuses whatever is not a regular file (a FIFO would
// block the server on open or read; a directory or device is no file to print from).
//
// Sharing: Linux takes no locks on an open, so every kind lets other openers read and write the
// file meanwhile, the "shared" kinds included.
//
// Errors: 52 a number outside 1..255, an empty name, or a number that is not open (or not open
// for line input); 53 file not found; 55 the number is in use; 62 input past the end of the
// file; 67 no free number, or no descriptor left in the process's budget or the account the files
// are charged to (see DescriptorBudget.h); 75 no access, not a regular file, or a
// directory that already exists; 76 a directory on the path does not exist.
namespace zel {

class DescriptorAccount;

namespace NumberedFilesDetail {
struct NumberedFile;
}

class NumberedFiles {
public:
    static constexpr int16_t kLowest = 1;
    static constexpr int16_t kHighest = 255;

    NumberedFiles();
    ~NumberedFiles();  // closes every file still open
    NumberedFiles(const NumberedFiles&) = delete;
    NumberedFiles& operator=(const NumberedFiles&) = delete;

    // The lowest number not in use (67 when all are).
    int16_t FreeFile() const;

    // Sequential opens. Input needs an existing file; output creates or empties it; append
    // creates it or writes at its end.
    void OpenInput(int16_t number, const QString& path);
    void OpenOutput(int16_t number, const QString& path);
    void OpenAppend(int16_t number, const QString& path);

    // Byte-wise opens: read and write, or write only, create a missing file and keep an existing
    // one; read only needs an existing file.
    enum class ByteAccess { ReadWrite, WriteOnly, ReadOnly };
    void OpenBinary(int16_t number, const QString& path, ByteAccess access);
    void OpenBinaryRead(int16_t number, const QString& path);  // OpenBinary(..., ReadOnly)

    bool IsOpen(int16_t number) const;  // false also for a number outside 1..255

    // The length in bytes of the file open under `number`.
    int64_t Lof(int16_t number);

    // Line input from a file opened with OpenInput: a line ends at a carriage return, a line
    // feed, or a carriage return followed by a line feed, and the end is not part of the line; a
    // last line without an end is read like the others. A file that is UTF-8 throughout is read
    // as UTF-8 (a byte-order mark at its start dropped), any other as Windows-1252; which, is
    // decided at its first line. A line longer than the longest text (1 048 576 characters) is 7
    // naming the file and the line, found before more than three bytes a character of it are
    // read.
    QString LineInput(int16_t number);
    // True when no byte is left to read from the file opened with OpenInput under `number`.
    bool Eof(int16_t number);

    // Closes the file under `number`; a number that is not open is left alone.
    void Close(int16_t number);
    void CloseAll();

    // Charges the files opened from now on to a client's account as well as to the process.
    void chargeTo(std::shared_ptr<DescriptorAccount> account) { account_ = std::move(account); }

    // Creates one directory (75 when it exists, 76 when the directory above it does not).
    static void MkDir(const QString& path);

private:
    using NumberedFile = NumberedFilesDetail::NumberedFile;

    // The file open under `number` (52 when there is none).
    NumberedFile& opened(int16_t number);
    NumberedFile& openedForInput(int16_t number);
    void open(int16_t number, const QString& path, int flags, bool lineInput = false);

    // Slot 0 is never used, so that a number is its own index.
    std::array<std::unique_ptr<NumberedFile>, kHighest + 1> files_;
    std::shared_ptr<DescriptorAccount> account_;
};

}  // namespace zel
