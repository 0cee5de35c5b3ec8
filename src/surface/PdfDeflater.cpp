#include "surface/PdfDeflater.h"

#include <libdeflate.h>

#include <system_error>
#include <utility>

#include "variant/VbError.h"

namespace zel {

PdfDeflater::PdfDeflater() = default;

PdfDeflater::~PdfDeflater() {
    if (thread_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    libdeflate_free_compressor(compressor_);
}

QByteArray PdfDeflater::compress(libdeflate_compressor*& compressor, const QByteArray& data) {
    // libdeflate compresses a whole buffer at once, which is what a finished page is, with a
    // quarter fewer instructions than zlib's fastest level and to a tenth fewer bytes.
    if (!compressor && !(compressor = libdeflate_alloc_compressor(1)))
        throw VbError(VbErr::OutOfMemory);
    QByteArray out(qsizetype(libdeflate_zlib_compress_bound(compressor, size_t(data.size()))),
                   Qt::Uninitialized);
    const size_t length = libdeflate_zlib_compress(
        compressor, data.constData(), size_t(data.size()), out.data(), size_t(out.size()));
    if (length == 0) throw VbError(VbErr::OutOfMemory);  // the bound is always enough
    out.resize(qsizetype(length));
    return out;
}

QByteArray PdfDeflater::deflated(const QByteArray& data) {
    return compress(compressor_, data);
}

void PdfDeflater::start(std::vector<QByteArray> batch) {
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            // No thread to be had (the process is at its limit): the batch is deflated here.
            for (QByteArray& data : batch) data = deflated(data);
            batch_ = std::move(batch);
            return;
        }
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        batch_ = std::move(batch);
        waiting_ = working_ = true;
        failed_ = false;
    }
    changed_.notify_all();
}

std::vector<QByteArray> PdfDeflater::finished() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !working_; });
    if (failed_) throw VbError(VbErr::OutOfMemory);
    return std::move(batch_);
}

void PdfDeflater::run() {
    // The thread's own compressor: the caller's may deflate meanwhile.
    libdeflate_compressor* compressor = nullptr;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || waiting_; });
        if (quit_) break;
        std::vector<QByteArray> batch = std::exchange(batch_, {});
        waiting_ = false;
        lock.unlock();
        bool failed = false;
        try {
            for (QByteArray& data : batch) data = compress(compressor, data);
        } catch (const VbError&) {
            failed = true;
        }
        lock.lock();
        batch_ = std::move(batch);
        failed_ = failed;
        working_ = false;
        changed_.notify_all();
    }
    lock.unlock();
    libdeflate_free_compressor(compressor);
}

}  // namespace zel
