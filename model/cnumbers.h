// Number reading and writing with the rules of the C library's conversions,
// independent of the process locale (Qt sets LC_NUMERIC from the environment,
// which would turn "2500.000" into 2500 under a comma locale).
#pragma once

#include <QByteArray>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace corvina {

// Leading white space, an optional sign and decimal digits up to the first
// other character; nothing when no digit follows. Values beyond 64 bits
// saturate.
std::optional<int64_t> ScanInteger(QStringView text);

// ScanInteger, with 0 where no number begins.
int64_t LeadingInteger(QStringView text);

// The same for int32 fields: saturates at the int32 limits.
int32_t LeadingInt32(QStringView text);

// Leading white space, an optional sign, digits with an optional fraction and
// exponent, or "inf", "infinity", "nan" in any case ("%f" scanning); no
// number gives 0. Out-of-range values become +/-infinity or 0 as strtod gives.
double LeadingDouble(QStringView text);

// The same, but nothing when no number begins the text.
std::optional<double> ScanDouble(QStringView text);

// The same for float fields: values beyond the float range become +/-infinity.
float LeadingFloat(QStringView text);

// printf conversions as in the C locale, whatever the process locale. "%1.7g" always writes an
// exponent with its sign and at least three digits ("1e+010").
QByteArray FormatG7(double value);
QByteArray FormatFixed(double value, int decimals); // "%.Nf"

} // namespace corvina
