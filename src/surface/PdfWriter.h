#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QFileDevice;

namespace zel {

class PdfDeflater;

// The file layer of a PDF: numbered objects written one after the other, streams deflated at
// ISA-L's level 1, the cross-reference table and trailer at the end. Streams are
// deflated in batches on a thread of their own while the caller lays out the next pages; a
// batch and what was written after its streams reach the file when the next batch is handed
// over or the file is finished, so that little is kept in memory but the objects' offsets and
// two batches. A failed write is remembered and raised by finish().
class PdfWriter {
public:
    explicit PdfWriter(QFileDevice& file);  // writes the header
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    int reserve() { return next_++; }  // a number for an object written later
    void beginObject(int number);
    void endObject();
    void write(const QByteArray& bytes);
    // A stream object of its own: dictionary entries (without the brackets), then the data,
    // deflated unless it is tiny.
    void stream(int number, const QByteArray& entries, QByteArray data);
    // Writes the cross-reference table and the trailer naming the catalog and the document
    // information (0: none), and flushes; VbError with the file's error when any write failed.
    void finish(int catalog, int info = 0);

private:
    // A stream not yet in the file, and what was written after it (objects begun at offsets
    // within that).
    struct Pending {
        int number;
        QByteArray entries;
        QByteArray data;  // deflated once its batch is
        bool deflate;
        QByteArray behind;
        std::vector<std::pair<int, qsizetype>> objects;
    };
    void put(const QByteArray& bytes);  // to the file, now
    Pending* lastPending();
    // Hands the queued streams to the deflater's thread, once the batch before is written.
    void handOver();
    // Writes the batch being deflated, once it is, and what followed its streams.
    void settle();
    void putAll(const std::vector<Pending>& streams);  // to the file, now

    QFileDevice& file_;
    // One deflater for every stream of the file: setting a compressor up for each page cost a
    // tenth of a long report's time.
    std::unique_ptr<PdfDeflater> deflater_;
    std::vector<Pending> queued_;  // in the file's order
    qsizetype queuedBytes_ = 0;
    std::vector<Pending> deflating_;  // the batch on the deflater's thread, before queued_
    qint64 offset_ = 0;
    std::vector<qint64> offsets_;  // by object number; 0 for the free object 0
    int next_ = 1;
    bool failed_ = false;
};

// Appends a UTF-16 unit as four hex digits, as strings of character codes are written.
void appendHex(QByteArray& out, char16_t unit);

// Appends a number with at most three decimals, as PDF writes reals (no exponent); NaN as 0,
// magnitudes beyond 1e12 as 1e12.
void appendNumber(QByteArray& out, double value);
// The same number written at the pointer, which must have room for MaxNumberLength
// characters; returns the end.
constexpr int MaxNumberLength = 20;
char* putNumber(char* at, double value);

}  // namespace zel
