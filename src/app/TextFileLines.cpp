#include "app/TextFileLines.h"

#include <cstring>
#include <utility>

#include "variant/Bounds.h"

namespace zel {

namespace {

constexpr qint64 BlockSize = 1 << 16;
constexpr int TabWidth = 8;

// The first line end (LF or CR) in [begin, end), or end; memchr scans many bytes at a time.
const char* lineEnd(const char* begin, const char* end) {
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', size_t(end - begin)));
    const char* limit = lf ? lf : end;
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', size_t(limit - begin)));
    return cr ? cr : limit;
}

}  // namespace

TextFileLines::TextFileLines(QFile& file, TextEncoding encoding)
    : file_(file),
      windows1252_(encoding == TextEncoding::Windows1252 ? QStringDecoder("windows-1252")
                                                         : QStringDecoder()) {}

QString TextFileLines::decoded(QByteArrayView bytes) {
    const bool bom = std::exchange(first_, false) && bytes.startsWith("\xef\xbb\xbf");
    QString line = expandTabs(windows1252_.isValid() ? QString(windows1252_(bytes))
                                                     : QString::fromUtf8(bytes.sliced(bom ? 3 : 0)));
    requireTextLength(line.size());
    return line;
}

bool TextFileLines::fill() {
    block_ = file_.read(BlockSize);
    at_ = 0;
    return !block_.isEmpty();
}

bool TextFileLines::next(QString& line) {
    QByteArray bytes;  // the part of a line that began in an earlier block
    for (;;) {
        if (at_ >= block_.size() && !fill()) break;
        if (skipLf_) {
            skipLf_ = false;
            if (block_[at_] == '\n' && ++at_ >= block_.size()) continue;
        }
        const char* begin = block_.constData() + at_;
        const char* end = block_.constData() + block_.size();
        const char* stop = lineEnd(begin, end);
        if (bytes.size() + (stop - begin) > MaxLineBytes) throw VbError(VbErr::OutOfMemory);
        at_ += stop - begin;
        if (stop == end) {
            bytes.append(begin, stop - begin);
            continue;
        }
        skipLf_ = *stop == '\r';
        ++at_;
        // A line within one block is decoded where it lies, without a copy.
        line = bytes.isEmpty() ? decoded(QByteArrayView(begin, stop - begin))
                               : decoded(bytes.append(begin, stop - begin));
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
