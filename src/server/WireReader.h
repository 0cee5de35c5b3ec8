#pragma once

#include <QString>
#include <QtEndian>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "variant/Variant.h"

struct DBusMessage;

namespace zel {

// Thrown where a value would reach past the body's end.
[[noreturn]] void malformed();

template <class T>
T ordered(const unsigned char* bytes, bool bigEndian) {
    return bigEndian ? qFromBigEndian<T>(bytes) : qFromLittleEndian<T>(bytes);
}

// The body of a received message as the bus carried it: one copy of its bytes, read in place
// rather than value by value through the bus library's iterators or QtDBus's variants.
class WireBody {
public:
    explicit WireBody(DBusMessage* message);
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }
    bool bigEndian() const { return bigEndian_; }

private:
    std::unique_ptr<char, void (*)(void*)> marshalled_;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
    bool bigEndian_ = false;
};

// A reader of a body's values at an offset, each step aligned as the wire aligns it and checked
// against the body's end: the bus library has validated the message on receipt, but a reader
// that trusts that still never reads past the end (an error "malformed" instead).
class WireReader {
public:
    WireReader(const WireBody& body, size_t at) : body_(&body), at_(at) {}
    size_t at() const { return at_; }

    // A string (`s`) as bytes, without its closing nul.
    std::pair<const char*, size_t> string();
    // An array's length in bytes; the reader is then at its first element, aligned to
    // elementAlignment.
    size_t arrayLength(size_t elementAlignment);
    // Steps over an array whose elements are aligned to elementAlignment.
    void skipArray(size_t elementAlignment);
    // Whether the reader is still before end (the end of an array); past it is malformed.
    bool within(size_t end) const;
    // Steps to the next struct or dictionary entry.
    void alignStruct() { align(8); }
    // Steps over the `v` here, whatever it holds.
    void skipVariant();
    // The value of the `v` here, as fromWire maps it (see WireCodec.h), with the same errors.
    Variant variant();

private:
    // The steps every value takes, inline: a batch takes them a few times per call.
    void align(size_t alignment) {
        const size_t next = (at_ + alignment - 1) & ~(alignment - 1);
        if (next > body_->size()) malformed();
        at_ = next;
    }
    const unsigned char* take(size_t count) {
        if (count > body_->size() - at_) malformed();
        const unsigned char* bytes = body_->data() + at_;
        at_ += count;
        return bytes;
    }
    template <class T>
    T number() {
        align(sizeof(T));
        return ordered<T>(take(sizeof(T)), body_->bigEndian());
    }
    uint16_t u16() { return number<uint16_t>(); }
    uint32_t u32() { return number<uint32_t>(); }
    uint64_t u64() { return number<uint64_t>(); }
    double f64();
    const char* signature();
    void skip(const char*& type, int depth);
    Variant structValue(const char* type);

    const WireBody* body_;
    size_t at_;
};

}  // namespace zel
