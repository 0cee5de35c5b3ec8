#pragma once

#include <QString>
#include <cstdint>

// The process's numbered files: numbers 1 to 255, each naming at most one open file, with the
// platform's error numbers. Opening refuses whatever is not a regular file (a FIFO would block
// the server on open or read; a directory or device is no file to print from).
//
// Errors: 52 a number outside 1..255, an empty name, or a number that is not open;
// 53 file not found; 55 the number is in use; 67 no free number (or no descriptor left);
// 75 no access, or not a regular file; 76 a directory on the path does not exist.
namespace zel::NumberedFiles {

constexpr int16_t kLowest = 1;
constexpr int16_t kHighest = 255;

// The lowest number not in use (67 when all are).
int16_t FreeFile();

// Opens `path` for byte-wise reading under `number`.
void OpenBinaryRead(int16_t number, const QString& path);

bool IsOpen(int16_t number);  // false also for a number outside 1..255

// The length in bytes of the file open under `number`.
int64_t Lof(int16_t number);

// Closes the file under `number`; a number that is not open is left alone.
void Close(int16_t number);
void CloseAll();

}  // namespace zel::NumberedFiles
