#include "variant/VariantText.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "variant/VbError.h"

namespace zel::detail {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr int kSecondsPerDay = 86400;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "&H1F" / "&O17": read like the platform's literals, 16-bit when the value fits in four
// hexadecimal digits (so "&HFFFF" is -1), else 32-bit; larger values overflow.
std::optional<double> parseRadix(const QString& body, int radix) {
    if (body.isEmpty()) return std::nullopt;
    uint64_t value = 0;
    for (QChar c : body) {
        const char16_t u = c.toUpper().unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9') digit = u - u'0';
        if (u >= u'A' && u <= u'F') digit = u - u'A' + 10;
        if (digit < 0 || digit >= radix) return std::nullopt;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFu) throw VbError(VbErr::Overflow);
    }
    if (value <= 0xFFFFu) return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<double> parseDecimal(const QString& t) {
    // Rebuild the number in plain ASCII for from_chars, which knows no locale.
    std::string ascii;
    int i = 0;
    const int n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        if (t[i] == u'-') ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    int integerDigits = 0;  // significant ones, to tell overflow from underflow
    bool seenPoint = false;
    for (; i < n; ++i) {
        if (isDigit(t[i])) {
            ++mantissaDigits;
            if (!seenPoint && (integerDigits > 0 || t[i] != u'0')) ++integerDigits;
            ascii += char(t[i].unicode());
        } else if (t[i] == u'.' && !seenPoint) {
            seenPoint = true;
            ascii += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    long exponent = 0;
    if (i < n && QStringLiteral("EeDd").contains(t[i])) {
        ascii += 'e';
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) ascii += char(t[i++].unicode());
        const int start = i;
        for (; i < n && isDigit(t[i]); ++i) ascii += char(t[i].unicode());
        if (i == start) return std::nullopt;
        // Only its size matters (overflow or underflow), so a bound keeps the sum below sane.
        exponent = std::clamp(std::strtol(ascii.c_str() + ascii.find('e') + 1, nullptr, 10),
                              -100000L, 100000L);
    }
    if (i != n) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (integerDigits + exponent > 0) throw VbError(VbErr::Overflow);
        return 0.0;  // too small to tell from zero
    }
    if (ec != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

double serial(const QDate& date, int seconds) {
    const double days = static_cast<double>(kEpoch.daysTo(date));
    const double time = static_cast<double>(seconds) / kSecondsPerDay;
    // Before the epoch the time still counts forward from midnight: -1.25 is 29-12-1899 06:00.
    return days < 0 ? days - time : days + time;
}

}  // namespace

double roundHalfEven(double x) {
    const double below = std::floor(x);
    const double rest = x - below;
    if (rest < 0.5) return below;
    if (rest > 0.5) return below + 1;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<double> parseNumber(const QString& text) {
    int first = 0;
    int last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    const QString t = text.mid(first, last - first);
    if (t.size() > 2 && t[0] == u'&') {
        const QChar marker = t[1].toUpper();
        if (marker == u'H') return parseRadix(t.mid(2), 16);
        if (marker == u'O') return parseRadix(t.mid(2), 8);
    }
    return parseDecimal(t);
}

std::optional<double> parseDate(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*(?:(\d{1,2})-(\d{1,2})-(\d{4}))?\s*(?:(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch() || text.trimmed().isEmpty()) return std::nullopt;
    QDate date = kEpoch;
    if (m.capturedLength(1) > 0) {
        date = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        if (!date.isValid()) return std::nullopt;
    } else if (m.capturedLength(4) == 0) {
        return std::nullopt;
    }
    int seconds = 0;
    if (m.capturedLength(4) > 0) {
        const int h = m.captured(4).toInt();
        const int min = m.captured(5).toInt();
        const int s = m.captured(6).toInt();
        if (h > 23 || min > 59 || s > 59) return std::nullopt;
        seconds = (h * 60 + min) * 60 + s;
    }
    const double days = serial(date, seconds);
    if (days < kMinDate || days >= kMaxDate) return std::nullopt;
    return days;
}

QString formatFloating(double value, int digits) {
    if (!std::isfinite(value)) throw VbError(VbErr::Overflow);
    if (value == 0) return QStringLiteral("0");
    char buf[64];
    const auto result = digits <= 7
                            ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(value),
                                            std::chars_format::scientific, digits - 1)
                            : std::to_chars(buf, buf + sizeof buf, value,
                                            std::chars_format::scientific, digits - 1);
    // buf holds "[-]d.ddde[+-]xx": split it into sign, significant digits and exponent.
    const std::string s(buf, result.ptr);
    const bool negative = s[0] == '-';
    const size_t e = s.find('e');
    std::string mantissa;
    for (size_t i = negative ? 1 : 0; i < e; ++i) {
        if (s[i] != '.') mantissa += s[i];
    }
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    const int exponent = std::stoi(s.substr(e + 1));

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= digits) {
        out += mantissa.substr(0, 1);
        if (mantissa.size() > 1) out += "." + mantissa.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        out += (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    } else if (exponent < 0) {
        out += "0." + std::string(-exponent - 1, '0') + mantissa;
    } else {
        mantissa.resize(std::max<size_t>(mantissa.size(), exponent + 1), '0');
        out += mantissa.substr(0, exponent + 1);
        if (mantissa.size() > size_t(exponent + 1)) out += "." + mantissa.substr(exponent + 1);
    }
    return QString::fromLatin1(out.c_str());
}

QString formatCurrency(int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    // Unsigned, so that the most negative amount has a magnitude too.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(tenThousandths)
                                        : static_cast<uint64_t>(tenThousandths);
    QString out = QString::number(magnitude / 10000);
    if (negative) out.prepend(u'-');
    if (const uint64_t fraction = magnitude % 10000; fraction != 0) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QChar(u'0'));
        while (decimals.endsWith(u'0')) decimals.chop(1);
        out += u'.' + decimals;
    }
    return out;
}

QString formatDate(double days) {
    if (!(days >= kMinDate && days < kMaxDate)) throw VbError(VbErr::Overflow);
    double whole = std::trunc(days);
    auto seconds = static_cast<int>(std::lround(std::fabs(days - whole) * kSecondsPerDay));
    if (seconds == kSecondsPerDay) {
        seconds = 0;
        whole += 1;
    }
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QChar(u'0'))
                             .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(seconds % 60, 2, 10, QChar(u'0'));
    if (whole == 0) return time;
    const QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    const QString text = QStringLiteral("%1-%2-%3")
                             .arg(date.day(), 2, 10, QChar(u'0'))
                             .arg(date.month(), 2, 10, QChar(u'0'))
                             .arg(date.year(), 4, 10, QChar(u'0'));
    return seconds == 0 ? text : text + u' ' + time;
}

}  // namespace zel::detail
