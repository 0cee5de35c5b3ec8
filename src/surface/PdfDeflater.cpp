#include "surface/PdfDeflater.h"

#include <isa-l/igzip_lib.h>

#include <new>
#include <system_error>
#include <utility>

#include "variant/VbError.h"

namespace zel {

namespace {

// What a file's first streams teach: the rest of a long job's pages are like them.
constexpr size_t kLearnt = 256 * 1024;

}  // namespace

// ISA-L's own state and level buffer, set up once and used for every stream of a thread; ISA-L
// sets up what it reads, so neither is cleared (a one-line job would pay for 360 KB). The first
// kLearnt bytes are deflated at level 1, each stream with codes of its own, and counted; every
// stream after them at level 0 with codes made from that count, in under half the time, to 3 %
// more bytes on a long report (ISA-L gives every symbol a code, so any data still deflates).
struct PdfDeflater::Compressor {
    isal_zstream stream;
    std::unique_ptr<uint8_t[]> levels{new uint8_t[ISAL_DEF_LVL1_DEFAULT]};
    isal_huff_histogram counted{};
    size_t countedBytes = 0;
    std::unique_ptr<isal_hufftables> learnt;

    void learn(uint8_t* data, size_t size) {
        if (learnt) return;
        if (countedBytes >= kLearnt) {
            learnt = std::make_unique<isal_hufftables>();
            isal_create_hufftables(learnt.get(), &counted);
            return;
        }
        isal_update_histogram(data, int(size), &counted);
        countedBytes += size;
    }
};

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
}

QByteArray PdfDeflater::compress(std::unique_ptr<Compressor>& compressor, const QByteArray& data) {
    // ISA-L deflates a whole buffer at once, which is what a finished page is.
    try {
        if (!compressor) compressor.reset(new Compressor);
        const size_t size = size_t(data.size());
        if (size >= (size_t(1) << 31))
            throw VbError(VbErr::OutOfMemory);  // ISA-L counts in 32 bits
        // Room for the stored blocks that data which does not shrink is written as.
        QByteArray out(qsizetype(size + size / 1024 + 1024), Qt::Uninitialized);
        // Only read, though ISA-L's declarations do not say so.
        auto* in = reinterpret_cast<uint8_t*>(const_cast<char*>(data.constData()));
        compressor->learn(in, size);
        isal_zstream& stream = compressor->stream;
        isal_deflate_stateless_init(&stream);
        stream.level = compressor->learnt ? 0 : 1;
        if (compressor->learnt) stream.hufftables = compressor->learnt.get();
        stream.level_buf = compressor->levels.get();
        stream.level_buf_size = ISAL_DEF_LVL1_DEFAULT;
        stream.gzip_flag = IGZIP_ZLIB;
        stream.end_of_stream = 1;
        stream.next_in = in;
        stream.avail_in = uint32_t(size);
        stream.next_out = reinterpret_cast<uint8_t*>(out.data());
        stream.avail_out = uint32_t(out.size());
        if (isal_deflate_stateless(&stream) != COMP_OK)
            throw VbError(VbErr::OutOfMemory);  // the room is always enough
        out.resize(qsizetype(stream.total_out));
        return out;
    } catch (const std::bad_alloc&) {
        throw VbError(VbErr::OutOfMemory);
    }
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
    std::unique_ptr<Compressor> compressor;
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
}

}  // namespace zel
