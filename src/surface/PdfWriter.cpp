#include "surface/PdfWriter.h"

#include <QFileDevice>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "surface/PdfDeflater.h"
#include "variant/VbError.h"

namespace zel {

namespace {

constexpr int SmallStream = 64;
// The pages handed to the deflater's thread at once (about twenty of a text report): each
// handing over costs the thread a wake-up, and both batches stay in memory.
constexpr qsizetype BatchBytes = 256 * 1024;

}  // namespace

PdfWriter::PdfWriter(QFileDevice& file)
    : file_(file), deflater_(std::make_unique<PdfDeflater>()), offsets_(1, 0) {
    // The binary comment tells transfer programs that the file is not text.
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

PdfWriter::~PdfWriter() = default;

void PdfWriter::put(const QByteArray& bytes) {
    if (file_.write(bytes) != bytes.size()) failed_ = true;
    offset_ += bytes.size();
}

PdfWriter::Pending* PdfWriter::lastPending() {
    if (!queued_.empty()) return &queued_.back();
    if (!deflating_.empty()) return &deflating_.back();
    return nullptr;
}

void PdfWriter::write(const QByteArray& bytes) {
    if (Pending* last = lastPending())
        last->behind += bytes;
    else
        put(bytes);
}

void PdfWriter::beginObject(int number) {
    if (offsets_.size() <= size_t(number)) offsets_.resize(size_t(number) + 1, 0);
    if (Pending* last = lastPending())
        last->objects.emplace_back(number, last->behind.size());
    else
        offsets_[size_t(number)] = offset_;
    write(QByteArray::number(number) + " 0 obj\n");
}

void PdfWriter::endObject() {
    write("endobj\n");
}

void PdfWriter::stream(int number, const QByteArray& entries, QByteArray data) {
    if (offsets_.size() <= size_t(number)) offsets_.resize(size_t(number) + 1, 0);
    const bool deflate = data.size() > SmallStream;
    if (deflate) queuedBytes_ += data.size();
    queued_.push_back(Pending{number, entries, std::move(data), deflate, {}, {}});
    if (queuedBytes_ >= BatchBytes) handOver();
}

void PdfWriter::handOver() {
    settle();
    std::vector<QByteArray> batch;
    for (Pending& stream : queued_)
        if (stream.deflate) batch.push_back(std::exchange(stream.data, QByteArray()));
    deflater_->start(std::move(batch));
    deflating_ = std::exchange(queued_, {});
    queuedBytes_ = 0;
}

void PdfWriter::settle() {
    if (deflating_.empty()) return;
    std::vector<Pending> streams = std::exchange(deflating_, {});
    std::vector<QByteArray> deflated = deflater_->finished();
    auto next = deflated.begin();
    for (Pending& stream : streams)
        if (stream.deflate) stream.data = std::move(*next++);
    putAll(streams);
}

void PdfWriter::putAll(const std::vector<Pending>& streams) {
    for (const Pending& stream : streams) {
        offsets_[size_t(stream.number)] = offset_;
        put(QByteArray::number(stream.number) + " 0 obj\n<< /Length " +
            QByteArray::number(stream.data.size()) +
            (stream.deflate ? " /Filter /FlateDecode " : " ") + stream.entries + " >>\nstream\n");
        put(stream.data);
        put("\nendstream\nendobj\n");
        for (const auto& [number, at] : stream.objects) offsets_[size_t(number)] = offset_ + at;
        put(stream.behind);
    }
}

void PdfWriter::finish(int catalog, int info) {
    settle();
    // The rest is deflated here: a short job starts no thread.
    std::vector<Pending> rest = std::exchange(queued_, {});
    for (Pending& stream : rest)
        if (stream.deflate) stream.data = deflater_->deflated(stream.data);
    putAll(rest);
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
