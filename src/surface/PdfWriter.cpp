#include "surface/PdfWriter.h"

#include <zlib.h>

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
    z_stream stream{};
    bool ready = false;
    ~Compressor() {
        if (ready) deflateEnd(&stream);
    }
};

PdfWriter::PdfWriter(QFileDevice& file)
    : file_(file), compressor_(std::make_unique<Compressor>()), offsets_(1, 0) {
    // The binary comment tells transfer programs that the file is not text.
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

PdfWriter::~PdfWriter() = default;

QByteArray PdfWriter::deflated(const QByteArray& data) {
    z_stream& z = compressor_->stream;
    if (!compressor_->ready) {
        if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) throw VbError(VbErr::OutOfMemory);
        compressor_->ready = true;
    } else if (deflateReset(&z) != Z_OK) {
        throw VbError(VbErr::OutOfMemory);
    }
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw VbError(VbErr::OutOfMemory);
    out.resize(qsizetype(z.total_out));
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

void appendNumber(QByteArray& out, double value) {
    // Past the range of the thousandths' integer the rounding has no result (and NaN none at
    // all): such a number is written as the nearest one that has.
    constexpr double Largest = 1e12;
    if (std::isnan(value)) value = 0;
    long long scaled = std::llround(std::clamp(value, -Largest, Largest) * 1000);
    if (scaled < 0) {
        out += '-';
        scaled = -scaled;
    }
    out += QByteArray::number(scaled / 1000);
    const int fraction = int(scaled % 1000);
    if (fraction == 0) return;
    char digits[5] = {'.', char('0' + fraction / 100), char('0' + fraction / 10 % 10),
                      char('0' + fraction % 10), 0};
    int end = 4;
    while (digits[end - 1] == '0') --end;
    out.append(digits, end);
}

}  // namespace zel
