#include "app/TextFileLines.h"

#include "variant/Bounds.h"

namespace zel {

namespace {

constexpr qint64 BlockSize = 1 << 16;
constexpr int TabWidth = 8;

QString decoded(const QByteArray& bytes) {
    QString line = expandTabs(QString::fromUtf8(bytes));
    requireTextLength(line.size());
    return line;
}

}  // namespace

bool TextFileLines::fill() {
    block_ = file_.read(BlockSize);
    at_ = 0;
    return !block_.isEmpty();
}

bool TextFileLines::next(QString& line) {
    QByteArray bytes;
    for (;;) {
        if (at_ >= block_.size() && !fill()) break;
        if (skipLf_) {
            skipLf_ = false;
            if (block_[at_] == '\n' && ++at_ >= block_.size()) continue;
        }
        const char* begin = block_.constData() + at_;
        const char* end = block_.constData() + block_.size();
        const char* stop = begin;
        while (stop < end && *stop != '\n' && *stop != '\r') ++stop;
        if (bytes.size() + (stop - begin) > MaxLineBytes) throw VbError(VbErr::OutOfMemory);
        bytes.append(begin, stop - begin);
        at_ += stop - begin;
        if (stop == end) continue;
        skipLf_ = *stop == '\r';
        ++at_;
        line = decoded(bytes);
        return true;
    }
    // A last line without its line end still counts.
    if (bytes.isEmpty()) return false;
    line = decoded(bytes);
    return true;
}

QString expandTabs(const QString& text) {
    if (!text.contains(QLatin1Char('\t'))) return text;
    QString expanded;
    for (const QChar c : text) {
        if (c != QLatin1Char('\t')) {
            expanded += c;
            continue;
        }
        expanded += QString(TabWidth - expanded.size() % TabWidth, QLatin1Char(' '));
    }
    return expanded;
}

}  // namespace zel
