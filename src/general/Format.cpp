#include "general/Format.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "general/DateConv.h"
#include "variant/VbError.h"

namespace zel {

namespace {

const QString kDateLetters = QStringLiteral("dmyhns");

bool isDatePicture(const QString& picture) {
    return std::any_of(picture.begin(), picture.end(),
                       [](QChar c) { return kDateLetters.contains(c.toLower()); });
}

bool isDigitPlaceholder(QChar c) {
    return c == u'#' || c == u'0';
}

// The decimal digits of a magnitude rounded to `decimals` places, halves away from zero.
struct RoundedDigits {
    QString whole;     // without leading zeros: empty for a magnitude below 1
    QString fraction;  // exactly `decimals` digits
};

RoundedDigits roundedDigits(double magnitude, int decimals) {
    // Fifteen significant digits, what a Double holds, so that 2.675 rounds as it is written.
    const QString scientific = QString::number(magnitude, 'e', 14);
    const int exponentAt = scientific.indexOf(u'e');
    QString digits = scientific.left(1) + scientific.mid(2, exponentAt - 2);
    const int wholeCount = scientific.mid(exponentAt + 1).toInt() + 1;
    const int kept = wholeCount + decimals;

    const bool roundUp = kept >= 0 && kept < digits.size() && digits[kept] >= u'5';
    digits = kept <= 0 ? QString() : digits.left(kept).leftJustified(kept, u'0');
    if (roundUp) {
        int i = digits.size() - 1;
        for (; i >= 0 && digits[i] == u'9'; --i) digits[i] = u'0';
        if (i >= 0)
            digits[i] = QChar(digits[i].unicode() + 1);
        else
            digits.prepend(u'1');
    }

    RoundedDigits result;
    const int count = static_cast<int>(digits.size());
    result.whole = count > decimals ? digits.left(count - decimals) : QString();
    while (result.whole.startsWith(u'0')) result.whole.remove(0, 1);
    result.fraction = digits.right(std::min(count, decimals)).rightJustified(decimals, u'0');
    return result;
}

// The whole part: every placeholder from the leftmost '0' on always shows a digit; digits
// beyond the placeholders all go where the leftmost placeholder stands.
QString formatWhole(const QString& digits, const QString& picture) {
    const auto first = std::find_if(picture.begin(), picture.end(), isDigitPlaceholder);
    const int firstPlaceholder = static_cast<int>(first - picture.begin());
    const auto firstZero = std::find(first, picture.end(), u'0');
    const int required =
        static_cast<int>(std::count_if(firstZero, picture.end(), isDigitPlaceholder));
    const QString whole = digits.rightJustified(required, u'0');
    int remaining = static_cast<int>(whole.size());
    QString text;
    for (int i = static_cast<int>(picture.size()) - 1; i >= 0; --i) {
        if (!isDigitPlaceholder(picture[i])) {
            text.prepend(picture[i]);
        } else if (i == firstPlaceholder) {
            text.prepend(whole.left(remaining));
            remaining = 0;
        } else if (remaining > 0) {
            text.prepend(whole[--remaining]);
        }
    }
    return text + whole.left(remaining);  // a picture without whole placeholders
}

// The fraction: trailing zeros show only up to the last '0' placeholder.
QString formatFraction(const QString& digits, const QString& picture) {
    int shown = static_cast<int>(digits.size());
    while (shown > 0 && digits[shown - 1] == u'0') --shown;
    int placeholder = 0;
    for (QChar c : picture) {
        if (c == u'0') shown = std::max(shown, placeholder + 1);
        if (isDigitPlaceholder(c)) ++placeholder;
    }
    QString text;
    placeholder = 0;
    for (QChar c : picture) {
        if (!isDigitPlaceholder(c))
            text.append(c);
        else if (placeholder < shown)
            text.append(digits[placeholder++]);
    }
    return text;
}

QString formatNumber(double number, const QString& picture) {
    const auto pointAt = picture.indexOf(u'.');
    const QString fractionPicture = pointAt < 0 ? QString() : picture.mid(pointAt + 1);
    const int decimals = static_cast<int>(
        std::count_if(fractionPicture.begin(), fractionPicture.end(), isDigitPlaceholder));
    const RoundedDigits digits = roundedDigits(std::fabs(number), decimals);

    QString text = formatWhole(digits.whole, pointAt < 0 ? picture : picture.left(pointAt));
    if (pointAt >= 0) text += u'.' + formatFraction(digits.fraction, fractionPicture);
    const bool zero =
        digits.whole.isEmpty() && std::all_of(digits.fraction.begin(), digits.fraction.end(),
                                              [](QChar c) { return c == u'0'; });
    return number < 0 && !zero ? u'-' + text : text;
}

// One run of the picture: a date letter repeated `count` times, or literal text.
struct DateToken {
    QChar letter;  // lower case; null for literal text
    int count = 0;
    QString literal;
};

std::vector<DateToken> dateTokens(const QString& picture) {
    std::vector<DateToken> tokens;
    for (int i = 0; i < picture.size();) {
        const QChar letter = picture[i].toLower();
        if (!kDateLetters.contains(letter)) {
            if (tokens.empty() || !tokens.back().letter.isNull()) tokens.push_back({});
            tokens.back().literal.append(picture[i++]);
            continue;
        }
        int count = 0;
        for (; i < picture.size() && picture[i].toLower() == letter; ++i) ++count;
        tokens.push_back({letter, count, QString()});
    }
    return tokens;
}

// "m" means minutes right after an hour or right before seconds (literals between count not).
bool isMinutes(const std::vector<DateToken>& tokens, size_t at) {
    for (size_t i = at; i-- > 0;) {
        if (tokens[i].letter.isNull()) continue;
        if (tokens[i].letter == u'h') return true;
        break;
    }
    for (size_t i = at + 1; i < tokens.size(); ++i) {
        if (tokens[i].letter.isNull()) continue;
        return tokens[i].letter == u's';
    }
    return false;
}

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

QString formatDate(double days, const QString& picture) {
    const QDateTime moment = DateConv::fromDays(days);
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QLocale c = QLocale::c();
    const std::vector<DateToken> tokens = dateTokens(picture);
    QString text;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const DateToken& t = tokens[i];
        const bool one = t.count == 1;
        switch (t.letter.unicode()) {
            case 0:
                text += t.literal;
                break;
            case u'd':
                text += t.count <= 2
                            ? (one ? QString::number(date.day()) : twoDigits(date.day()))
                            : c.dayName(date.dayOfWeek(),
                                        t.count == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
                break;
            case u'm':
                if (isMinutes(tokens, i)) {
                    text += one ? QString::number(time.minute()) : twoDigits(time.minute());
                } else {
                    text += t.count <= 2
                                ? (one ? QString::number(date.month()) : twoDigits(date.month()))
                                : c.monthName(date.month(), t.count == 3 ? QLocale::ShortFormat
                                                                         : QLocale::LongFormat);
                }
                break;
            case u'y':
                text += one ? QString::number(date.dayOfYear())
                            : (t.count < 4 ? twoDigits(date.year() % 100)
                                           : QString::number(date.year()));
                break;
            case u'h':
                text += one ? QString::number(time.hour()) : twoDigits(time.hour());
                break;
            case u'n':
                text += one ? QString::number(time.minute()) : twoDigits(time.minute());
                break;
            case u's':
                text += one ? QString::number(time.second()) : twoDigits(time.second());
                break;
        }
    }
    return text;
}

// The value as a number (a serial for dates); nothing for text that holds none.
std::optional<double> numberOf(const Variant& value, bool asDate) {
    try {
        return asDate ? value.toDate() : value.toDouble();
    } catch (const VbError& e) {
        if (value.isString() && e.number() == VbErr::TypeMismatch) return std::nullopt;
        throw;
    }
}

}  // namespace

QString Format(const Variant& value, const QString& picture) {
    if (value.isNull()) throw VbError(VbErr::InvalidUseOfNull);
    if (picture.isEmpty()) return value.toString();
    const bool asDate = isDatePicture(picture);
    const std::optional<double> number = numberOf(value, asDate);
    if (!number) return value.toString();
    return asDate ? formatDate(*number, picture) : formatNumber(*number, picture);
}

}  // namespace zel
