#include "surface/PdfWriter.h"

#include <libdeflate.h>

#include <QFileDevice>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "variant/VbError.h"

namespace zel {

namespace {

constexpr int SmallStream = 64;

}  // namespace

struct PdfWriter::Compressor {
    libdeflate_compressor* compressor = nullptr;
    ~Compressor() { libdeflate_free_compressor(compressor); }
};

PdfWriter::PdfWriter(QFileDevice& file)
    : file_(file), compressor_(std::make_unique<Compressor>()), offsets_(1, 0) {
    // The binary comment tells transfer programs that the file is not text.
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

PdfWriter::~PdfWriter() = default;

QByteArray PdfWriter::deflated(const QByteArray& data) {
    // libdeflate compresses a whole buffer at once, which is what a finished page is, with a
    // quarter fewer instructions than zlib's fastest level and to a tenth fewer bytes.
    libdeflate_compressor*& c = compressor_->compressor;
    if (!c && !(c = libdeflate_alloc_compressor(1))) throw VbError(VbErr::OutOfMemory);
    QByteArray out(qsizetype(libdeflate_zlib_compress_bound(c, size_t(data.size()))),
                   Qt::Uninitialized);
    const size_t length = libdeflate_zlib_compress(c, data.constData(), size_t(data.size()),
                                                   out.data(), size_t(out.size()));
    if (length == 0) throw VbError(VbErr::OutOfMemory);  // the bound is always enough
    out.resize(qsizetype(length));
    return out;
}

void PdfWriter::write(const QByteArray& bytes) {
    if (file_.write(bytes) != bytes.size()) failed_ = true;
    offset_ += bytes.size();
}

void PdfWriter::beginObject(int number) {
    if (offsets_.size() <= size_t(number)) offsets_.resize(size_t(number) + 1, 0);
    offsets_[size_t(number)] = offset_;
    write(QByteArray::number(number) + " 0 obj\n");
}

void PdfWriter::endObject() {
    write("endobj\n");
}

void PdfWriter::stream(int number, const QByteArray& entries, const QByteArray& data) {
    const bool deflate = data.size() > SmallStream;
    const QByteArray body = deflate ? deflated(data) : data;
    beginObject(number);
    write("<< /Length " + QByteArray::number(body.size()) +
          (deflate ? " /Filter /FlateDecode " : " ") + entries + " >>\nstream\n");
    write(body);
    write("\nendstream\n");
    endObject();
}

void PdfWriter::finish(int catalog, int info) {
    const qint64 xref = offset_;
    const int count = next_;
    offsets_.resize(size_t(count), 0);
    QByteArray table = "xref\n0 " + QByteArray::number(count) + "\n0000000000 65535 f \n";
    char entry[24];
    for (int i = 1; i < count; ++i) {
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", (long long)offsets_[size_t(i)]);
        table += entry;
    }
    table += "trailer\n<< /Size " + QByteArray::number(count) + " /Root " +
             QByteArray::number(catalog) + " 0 R" +
             (info ? " /Info " + QByteArray::number(info) + " 0 R" : QByteArray()) +
             " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    write(table);
    if (!file_.flush()) failed_ = true;
    if (failed_)
        throw VbError(VbErr::PrinterError,
                      QStringLiteral("Printer error: %1: %2")
                          .arg(shownInError(file_.fileName()), file_.errorString()));
}

void appendHex(QByteArray& out, char16_t unit) {
    static const char digits[] = "0123456789ABCDEF";
    const char hex[4] = {digits[unit >> 12], digits[(unit >> 8) & 0xF], digits[(unit >> 4) & 0xF],
                         digits[unit & 0xF]};
    out.append(hex, 4);
}

char* putNumber(char* at, double value) {
    // Past the range of the thousandths' integer the rounding has no result (and NaN none at
    // all): such a number is written as the nearest one that has.
    constexpr double Largest = 1e12;
    if (std::isnan(value)) value = 0;
    const long long scaled = std::llround(std::clamp(value, -Largest, Largest) * 1000);
    unsigned long long whole = scaled < 0 ? 0ULL - (unsigned long long)scaled : scaled;
    int fraction = int(whole % 1000);
    whole /= 1000;
    // Written backwards into a buffer, then copied: this runs for every text of every page.
    char digits[MaxNumberLength];
    char* const end = digits + sizeof digits;
    char* first = end;
    if (fraction != 0) {
        int places = 3;
        for (; fraction % 10 == 0; fraction /= 10) --places;
        for (; places > 0; --places, fraction /= 10) *--first = char('0' + fraction % 10);
        *--first = '.';
    }
    do {
        *--first = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (scaled < 0) *--first = '-';
    return std::copy(first, end, at);
}

void appendNumber(QByteArray& out, double value) {
    char digits[MaxNumberLength];
    out.append(digits, putNumber(digits, value) - digits);
}

}  // namespace zel
