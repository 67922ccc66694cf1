#include "cnumbers.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace corvina {

namespace {

bool IsCSpace(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r';
}

bool IsDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

qsizetype SkipSpace(QStringView text, qsizetype i) {
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    return i;
}

// Formats as printf would in the C locale. snprintf follows LC_NUMERIC, which
// Qt takes from the environment: under a German desktop "%.3f" writes
// "1234,500", and the comma is a field separator in several script lines.
// std::to_chars never looks at the locale. The buffer grows until the number
// fits (the widest double in "%f" has over 300 digits).
QByteArray ToChars(double value, std::chars_format format, int precision) {
    std::string buffer(64, '\0');
    for (;;) {
        const auto [end, ec] =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
        if (ec == std::errc())
            return QByteArray(buffer.data(), end - buffer.data());
        buffer.resize(buffer.size() * 2);
    }
}

// The power of ten that the number's first significant digit stands for,
// plus one: "123.4" gives 3, "0.05" -1, "1e400" 401. For a text of digits
// with an optional "-", "." and exponent, holding a digit other than 0. It is
// positive exactly when the number is 1 or more, however many digits it has.
int64_t DecimalOrder(const std::string& number) {
    const size_t e = number.find('e');
    const size_t end = e == std::string::npos ? number.size() : e;
    int64_t digitsBeforePoint = 0; // counted from the first significant digit
    int64_t zerosAfterPoint = 0;   // before the first significant digit
    bool significant = false;
    bool afterPoint = false;
    for (size_t i = 0; i < end; ++i) {
        const char c = number[i];
        if (c == '.') {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (!significant && c == '0') {
                if (afterPoint)
                    ++zerosAfterPoint;
                continue;
            }
            significant = true;
            if (afterPoint)
                break;
            ++digitsBeforePoint;
        }
    }
    int64_t order = digitsBeforePoint > 0 ? digitsBeforePoint : -zerosAfterPoint;
    if (e != std::string::npos) {
        // Exponents far beyond any double only matter by their sign.
        constexpr int64_t kBound = int64_t(1) << 40;
        order += std::clamp<int64_t>(LeadingInteger(QString::fromLatin1(number.data() + e + 1)),
                                     -kBound, kBound);
    }
    return order;
}

} // namespace

int64_t LeadingInteger(QStringView text) {
    return ScanInteger(text).value_or(0);
}

std::optional<int64_t> ScanInteger(QStringView text) {
    qsizetype i = SkipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr uint64_t kLimit = uint64_t(std::numeric_limits<int64_t>::max()) + 1;
    if (i >= text.size() || !IsDigit(text[i]))
        return std::nullopt;
    uint64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const uint64_t digit = uint64_t(text[i].unicode() - '0');
        magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
    }
    if (negative)
        return magnitude >= kLimit ? std::numeric_limits<int64_t>::min() : -int64_t(magnitude);
    return magnitude >= kLimit ? std::numeric_limits<int64_t>::max() : int64_t(magnitude);
}

int32_t LeadingInt32(QStringView text) {
    const int64_t v = LeadingInteger(text);
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

double LeadingDouble(QStringView text) {
    return ScanDouble(text).value_or(0.0);
}

std::optional<double> ScanDouble(QStringView text) {
    qsizetype i = SkipSpace(text, 0);
    std::string number;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            number += '-';
        ++i;
    }
    for (const char* word : {"infinity", "inf", "nan"}) {
        const QLatin1String w(word);
        if (text.sliced(i).startsWith(w, Qt::CaseInsensitive)) {
            const double v = word[0] == 'n' ? std::numeric_limits<double>::quiet_NaN() : HUGE_VAL;
            return number == "-" ? -v : v;
        }
    }
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i, digits = true)
        number += char(text[i].unicode());
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, digits = true)
            number += char(text[i].unicode());
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent += char(text[j++].unicode());
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent += char(text[j].unicode());
            number += exponent;
        }
    }
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as strtod does.
        const bool negative = number.front() == '-';
        if (DecimalOrder(number) > 0)
            return negative ? -HUGE_VAL : HUGE_VAL;
        return negative ? -0.0 : 0.0;
    }
    (void)ptr;
    return value;
}

float LeadingFloat(QStringView text) {
    const double value = LeadingDouble(text);
    // Narrowing a double beyond the float range is undefined; strtof gives infinity.
    if (value > double(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (value < -double(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

QByteArray FormatG7(double value) {
    QByteArray text = ToChars(value, std::chars_format::general, 7);
    const qsizetype e = text.indexOf('e');
    if (e < 0)
        return text;
    // text[e + 1] is the sign; pad the digits after it to three.
    const qsizetype digitsStart = e + 2;
    const qsizetype digits = text.size() - digitsStart;
    if (digits < 3)
        text.insert(digitsStart, QByteArray(3 - digits, '0'));
    return text;
}

QByteArray FormatFixed(double value, int decimals) {
    return ToChars(value, std::chars_format::fixed, decimals);
}

} // namespace corvina
