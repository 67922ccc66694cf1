// Live value rows: the lines a logger writes on its own while it measures,
// split out of the received stream and read into the cells of a table row.
//
// A row is a line that starts with a date ("12.03.2019 10:15:00 21.4 55"):
// its fields are separated by blanks or by commas, as the logger's
// DataFormat says. The first field is the date, the second the time, and one
// field follows per data column, in the order LiveDataColumns gives.
#pragma once

#include "commandexchange.h"
#include "loggerconfig.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace corvina {

// The longest line that can become a row, in characters: its 8-bit copy and a
// terminating zero fill the answer buffer. A longer line shows in the text
// line only, cut to this length.
inline constexpr qsizetype kLiveLineMaxChars = kReceiveBufferSize - 1;

// The captions of the data columns, for the output channels 1 to 32 in
// order: the channel's Alias when its Input is not "0", then "Min", "Max" and
// "Stdev" for each of those flags that is 1.
QStringList LiveDataColumns(const LoggerConfig& cfg);

// The field separator of a DataFormat: a blank for "Default", a comma for
// "CSV". Other formats name none; their rows are split at the first blank or
// comma each holds (see ParseLiveRow).
std::optional<char> LiveFieldSeparator(const QString& dataFormat);

struct LiveRow {
    QString Date;
    QString Time;
    QStringList Values; // one per data column; empty where the line had no field
};

// True when the line starts as "%02d.%02d.%4d" reads a date: up to two digits,
// a point, up to two digits, a point, up to four digits.
bool LiveLineHasDate(QStringView line);

// The row that a line gives, or nothing when the line does not start with a
// date, has a character without an 8-bit form, or is longer than
// kLiveLineMaxChars.
//
// Fields are taken from the front, each up to the next separator (or the end
// of the line); blanks before the time and before every value are skipped.
// Once the line is used up, the remaining cells stay empty: a short line never
// repeats a value into columns it has none for. Fields beyond the columns
// are ignored. Without a separator (a format that names none) the first blank
// or comma of the line is the separator; a line with neither is all date.
std::optional<LiveRow> ParseLiveRow(QStringView line, std::optional<char> separator, int columns);

// The text of one read: every byte the character of the same value (the
// 8-bit text of the logger protocol). Zero bytes are line noise and dropped.
QString LiveTextFromBytes(QByteArrayView bytes);

struct LiveLine {
    QString Text;
    // The line was longer than kLiveLineMaxChars: Text holds its beginning
    // only and it is never a row.
    bool TooLong = false;
};

// Splits the received text into lines ended by CR LF, however the reads cut
// them. Memory stays bounded: a line that grows beyond kLiveLineMaxChars is
// given out at once (TooLong) and the rest of it, up to its CR LF, dropped.
class CLiveLineSplitter {
public:
    // Appends the text of one read and returns the lines it completed, in
    // order of arrival, each without white space at either end. Empty lines
    // are left out.
    QList<LiveLine> Append(QStringView text);

    // Received text not yet split into lines.
    const QString& Pending() const { return m_strPending; }
    void Clear();

private:
    QString m_strPending;
    bool m_bSkipping = false; // dropping the rest of a too long line
};

} // namespace corvina
