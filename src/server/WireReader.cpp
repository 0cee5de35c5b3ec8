#include "server/WireReader.h"

#include <dbus/dbus.h>

#include <cstring>
#include <new>
#include <stdexcept>

#include "server/WireCodec.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The fixed start of a message's header: byte order, type, flags, version, body length, serial,
// and the length of the header's field array, after which the body starts on 8 bytes.
constexpr size_t FixedHeader = 16;

// Deeper than the bus library lets a message nest; a bound on the reader's recursion all the
// same.
constexpr int MaxDepth = 128;

size_t alignmentOf(char type) {
    switch (type) {
        case 'n':
        case 'q':
            return 2;
        case 'b':
        case 'i':
        case 'u':
        case 'h':
        case 's':
        case 'o':
        case 'a':
            return 4;
        case 'x':
        case 't':
        case 'd':
        case '(':
        case '{':
            return 8;
        default:
            return 1;  // y, g, v
    }
}

// Steps over one complete type of a signature.
void skipType(const char*& type) {
    const char code = *type++;
    if (code == 'a') return skipType(type);
    if (code == '(' || code == '{') {
        const char close = code == '(' ? ')' : '}';
        while (*type != close) skipType(type);
        ++type;
        return;
    }
    if (code == '\0' || code == ')' || code == '}') malformed();
}

}  // namespace

void malformed() {
    throw std::runtime_error("The message ends inside a value");
}

WireBody::WireBody(DBusMessage* message) : marshalled_(nullptr, dbus_free) {
    char* bytes = nullptr;
    int length = 0;
    if (!dbus_message_marshal(message, &bytes, &length)) throw std::bad_alloc();
    marshalled_.reset(bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    if (size_t(length) < FixedHeader) malformed();
    bigEndian_ = data[0] == 'B';
    const uint32_t bodyLength = ordered<uint32_t>(data + 4, bigEndian_);
    const uint32_t fieldsLength = ordered<uint32_t>(data + 12, bigEndian_);
    const size_t start = (FixedHeader + fieldsLength + 7) & ~size_t(7);
    if (start > size_t(length) || bodyLength > size_t(length) - start) malformed();
    data_ = data + start;
    size_ = bodyLength;
}

double WireReader::f64() {
    const uint64_t bits = u64();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::pair<const char*, size_t> WireReader::string() {
    const size_t length = u32();
    const auto* text = reinterpret_cast<const char*>(take(length + 1));
    if (text[length] != '\0') malformed();
    return {text, length};
}

const char* WireReader::signature() {
    const size_t length = *take(1);
    const auto* type = reinterpret_cast<const char*>(take(length + 1));
    if (type[length] != '\0') malformed();
    return type;
}

size_t WireReader::arrayLength(size_t elementAlignment) {
    const size_t length = u32();
    align(elementAlignment);
    if (length > body_->size() - at_) malformed();
    return length;
}

void WireReader::skipArray(size_t elementAlignment) {
    take(arrayLength(elementAlignment));
}

bool WireReader::within(size_t end) const {
    if (at_ > end) malformed();
    return at_ < end;
}

void WireReader::skip(const char*& type, int depth) {
    if (depth > MaxDepth) malformed();
    const char code = *type++;
    switch (code) {
        case 'y':
            take(1);
            return;
        case 'n':
        case 'q':
            u16();
            return;
        case 'b':
        case 'i':
        case 'u':
        case 'h':
            u32();
            return;
        case 'x':
        case 't':
        case 'd':
            u64();
            return;
        case 's':
        case 'o':
            string();
            return;
        case 'g':
            signature();
            return;
        case 'v': {
            const char* inner = signature();
            skip(inner, depth + 1);
            if (*inner != '\0') malformed();
            return;
        }
        case 'a': {
            const size_t alignment = alignmentOf(*type);
            skipType(type);
            skipArray(alignment);
            return;
        }
        case '(':
        case '{': {
            align(8);
            const char close = code == '(' ? ')' : '}';
            while (*type != close) skip(type, depth + 1);
            ++type;
            return;
        }
        default:
            malformed();
    }
}

void WireReader::skipVariant() {
    const char* type = "v";
    skip(type, 0);
}

// The struct of a `v`: (s), (sd) or (sx), told apart by its signature.
Variant WireReader::structValue(const char* type) {
    if (type[1] != 's') throw VbError(VbErr::TypeMismatch);
    align(8);
    const auto [text, length] = string();
    const QString tag = QString::fromUtf8(text, qsizetype(length));
    if (type[2] == ')') return wireTag(tag);
    if (type[2] == 'd' && type[3] == ')') return wireDate(tag, f64());
    if (type[2] == 'x' && type[3] == ')') return wireCurrency(tag, qlonglong(int64_t(u64())));
    throw VbError(VbErr::TypeMismatch);
}

Variant WireReader::variant() {
    const char* type = signature();
    switch (type[0]) {
        case 'b':
            return Variant::Boolean(u32() != 0);
        case 'n':
            return Variant::Integer(int16_t(u16()));
        case 'i':
            return Variant::Long(int32_t(u32()));
        case 'd':
            return wireDouble(f64());
        case 's': {
            const auto [text, length] = string();
            return wireText(QString::fromUtf8(text, qsizetype(length)));
        }
        case 'y':
            return Variant::Long(*take(1));
        case 'q':
            return Variant::Long(u16());
        case 'u':
            return wireWhole(u32());
        case 'x':
            return wireWhole(qlonglong(int64_t(u64())));
        case 't':
            return wireUnsigned(u64());
        case '(':
            return structValue(type);
        default:
            break;
    }
    throw VbError(VbErr::TypeMismatch);
}

}  // namespace zel
