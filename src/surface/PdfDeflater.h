#pragma once

#include <QByteArray>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zel {

// Deflates the streams of one PDF file (zlib format, ISA-L's level 1), either at
// once or a batch at a time on a thread of its own while the caller goes on with the next
// pages. VbError 7 when the compressor cannot be had.
class PdfDeflater {
public:
    PdfDeflater();
    ~PdfDeflater();  // waits for the batch in progress
    PdfDeflater(const PdfDeflater&) = delete;
    PdfDeflater& operator=(const PdfDeflater&) = delete;

    // The data deflated on the caller's thread.
    QByteArray deflated(const QByteArray& data);
    // Starts deflating the streams on the deflater's thread (or deflates them at once when no
    // thread can be started); no batch may be in progress.
    void start(std::vector<QByteArray> batch);
    // The started batch, each stream deflated, in order, once they are.
    std::vector<QByteArray> finished();

private:
    void run();
    struct Compressor;
    static QByteArray compress(std::unique_ptr<Compressor>& compressor, const QByteArray& data);

    std::unique_ptr<Compressor> compressor_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<QByteArray> batch_;
    bool waiting_ = false;  // a started batch waits for the thread to take it
    bool working_ = false;  // a batch was started and is not deflated yet
    bool failed_ = false;
    bool quit_ = false;
    std::thread thread_;  // started with the first batch
};

}  // namespace zel
