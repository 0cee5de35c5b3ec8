#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads a fuzz input as a sequence of choices: fixed-size numbers, and texts that end at a zero
// byte (or at the end of the input). Past the end every read gives zero or an empty text, so
// that any input, however short, is a complete case.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }

    template <typename T>
    T number() {
        T value{};
        const size_t n = std::min(sizeof(T), size_ - pos_);
        std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }

    QByteArray bytes() {
        const size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0) ++pos_;
        QByteArray out(reinterpret_cast<const char*>(data_ + start), qsizetype(pos_ - start));
        if (pos_ < size_) ++pos_;
        return out;
    }
    QString text() { return QString::fromUtf8(bytes()); }

    // Whatever is left, as it is.
    QByteArray rest() {
        QByteArray out(reinterpret_cast<const char*>(data_ + pos_), qsizetype(size_ - pos_));
        pos_ = size_;
        return out;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
