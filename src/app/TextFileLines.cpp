#include "app/TextFileLines.h"

#include <utility>

#include "variant/Bounds.h"

namespace zel {

namespace {

constexpr qint64 BlockSize = 1 << 16;
constexpr int TabWidth = 8;

}  // namespace

TextFileLines::TextFileLines(QFile& file, TextEncoding encoding)
    : file_(file),
      windows1252_(encoding == TextEncoding::Windows1252 ? QStringDecoder("windows-1252")
                                                         : QStringDecoder()) {}

QString TextFileLines::decoded(const QByteArray& bytes) {
    const bool bom = std::exchange(first_, false) && bytes.startsWith("\xef\xbb\xbf");
    QString line = expandTabs(windows1252_.isValid() ? QString(windows1252_(bytes))
                                                     : QString::fromUtf8(bytes.mid(bom ? 3 : 0)));
    requireTextLength(line.size());
    return line;
}

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
