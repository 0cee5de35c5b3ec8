#include "app/InputFiles.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/PrintOptions.h"

namespace zel {

namespace {

constexpr qint64 BlockSize = 1 << 16;

QString failed(const QString& name, const QFileDevice& file) {
    return QStringLiteral("%1: %2").arg(name, file.errorString());
}

// Whether every byte is below 0x80, eight at a time: most text files are ASCII throughout.
bool isAscii(const QByteArray& bytes) {
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    uint64_t any = 0;
    for (; end - at >= 8; at += 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        any |= word;
    }
    for (; at < end; ++at) any |= uint8_t(*at);
    return (any & 0x8080808080808080ULL) == 0;
}

// Why the bytes are no text, or empty: a NUL byte never is (lp's own test), and a file must
// read in one of our encodings. Every byte is Windows-1252 but five, which no text holds.
QString notText(QFile& file, InputFile& input) {
    QStringDecoder utf8(QStringConverter::Utf8);
    bool windows1252 = true;
    bool asciiSoFar = true;  // the decoder holds no part of a character
    input.empty = true;
    for (;;) {
        const QByteArray block = file.read(BlockSize);
        if (block.isEmpty()) break;
        input.empty = false;
        if (block.contains('\0')) return QStringLiteral("it holds NUL bytes");
        // ASCII is both encodings: such a block after ASCII needs neither check.
        const bool ascii = isAscii(block);
        if (ascii && asciiSoFar) continue;
        asciiSoFar = false;
        windows1252 = windows1252 && std::none_of(block.cbegin(), block.cend(), [](char c) {
                          const auto b = static_cast<unsigned char>(c);
                          return b == 0x81 || b == 0x8d || b == 0x8f || b == 0x90 || b == 0x9d;
                      });
        // The decoder checks as it decodes, and decodes when its result is taken.
        const QString decoded = utf8(block);
    }
    const QString afterTheEnd = utf8(QByteArrayView("\n"));
    input.encoding = utf8.hasError() ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    if (!utf8.hasError() || windows1252) return {};
    return QStringLiteral("it is neither UTF-8 nor Windows-1252");
}

}  // namespace

InputFiles::InputFiles() = default;
InputFiles::~InputFiles() = default;

QString InputFiles::read(const QStringList& names, bool anyData) {
    for (const QString& given : names) {
        InputFile input{given, given};
        const bool standardInput = given == StandardInput;
        if (standardInput) input.name = QStringLiteral("standard input");
        QFile file;
        const bool opened = standardInput
                                ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(given), file.open(QIODevice::ReadOnly));
        if (!opened) return failed(input.name, file);
        // A pipe can be read once: it is kept (standard input, or a FILE such as <(command)).
        if (standardInput || file.isSequential()) {
            const QString error = keep(file, input);
            if (!error.isEmpty()) return error;
        }
        const QString why = notText(file, input);
        if (file.error() != QFile::NoError) return failed(input.name, file);
        if (!why.isEmpty() && !anyData)
            return QStringLiteral(
                       "%1: not a text file (%2); to print it as text all the same: "
                       "-o document-format=text/plain")
                .arg(input.name, why);
        files_.push_back(input);
    }
    return {};
}

QString InputFiles::keep(QFile& pipe, InputFile& input) {
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open()) return failed(copy->fileName(), *copy);
    // A pipe's end is known only when a read returns nothing.
    for (QByteArray block; !(block = pipe.read(BlockSize)).isEmpty();)
        if (copy->write(block) < 0) return failed(copy->fileName(), *copy);
    if (pipe.error() != QFile::NoError) return failed(input.name, pipe);
    if (!copy->flush()) return failed(copy->fileName(), *copy);
    pipe.close();
    pipe.setFileName(copy->fileName());
    if (!pipe.open(QIODevice::ReadOnly)) return failed(copy->fileName(), pipe);
    input.path = copy->fileName();
    kept_.push_back(std::move(copy));
    return {};
}

bool InputFiles::allEmpty() const {
    return std::all_of(files_.cbegin(), files_.cend(), [](const InputFile& f) { return f.empty; });
}

}  // namespace zel
