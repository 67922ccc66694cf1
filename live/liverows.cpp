#include "liverows.h"

#include <cstdio>

namespace corvina {

QStringList LiveDataColumns(const LoggerConfig& cfg) {
    QStringList columns;
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        const OutputChannel& o = cfg.Outputs[k];
        // The statistics columns do not depend on the channel being in use:
        // the logger writes them whenever their flag is set.
        if (o.Input != QLatin1String("0"))
            columns << o.Alias;
        if (o.Min == 1)
            columns << QStringLiteral("Min");
        if (o.Max == 1)
            columns << QStringLiteral("Max");
        if (o.Sdev == 1)
            columns << QStringLiteral("Stdev");
    }
    return columns;
}

std::optional<char> LiveFieldSeparator(const QString& dataFormat) {
    if (dataFormat == QLatin1String("Default"))
        return ' ';
    if (dataFormat == QLatin1String("CSV"))
        return ',';
    return std::nullopt;
}

bool LiveLineHasDate(QStringView line) {
    if (line.size() > kLiveLineMaxChars)
        return false;
    const std::optional<QByteArray> narrow = ToNarrowText(line, kReceiveBufferSize);
    if (!narrow)
        return false;
    int day = 0;
    int month = 0;
    int year = 0;
    // The logger's own reading of its date, signs and blanks included.
    return std::sscanf(narrow->constData(), "%02d.%02d.%4d", &day, &month, &year) == 3;
}

std::optional<LiveRow> ParseLiveRow(QStringView line, std::optional<char> separator, int columns) {
    if (!LiveLineHasDate(line))
        return std::nullopt;
    QChar sep;
    if (separator) {
        sep = QLatin1Char(*separator);
    } else {
        for (QChar c : line) {
            if (c == u' ' || c == u',') {
                sep = c;
                break;
            }
        }
    }
    QStringView rest = line;
    const auto takeField = [&](bool skipBlanks) {
        while (skipBlanks && rest.startsWith(u' '))
            rest = rest.mid(1);
        const qsizetype at = sep.isNull() ? -1 : rest.indexOf(sep);
        QString field;
        if (at < 0) {
            field = rest.toString();
            rest = {};
        } else {
            field = rest.left(at).toString();
            rest = rest.mid(at + 1);
        }
        return field;
    };
    LiveRow row;
    row.Date = takeField(false);
    row.Time = takeField(true);
    row.Values.reserve(qMax(columns, 0));
    for (int k = 0; k < columns; ++k)
        row.Values << takeField(true);
    return row;
}

QString LiveTextFromBytes(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\0')
            text += QChar(static_cast<unsigned char>(c));
    return text;
}

QList<LiveLine> CLiveLineSplitter::Append(QStringView text) {
    QList<LiveLine> lines;
    m_strPending += text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = m_strPending.indexOf(u"\r\n", from);
        if (end < 0)
            break;
        if (m_bSkipping) {
            m_bSkipping = false; // the end of the too long line
        } else {
            const QStringView raw = QStringView(m_strPending).mid(from, end - from);
            const bool tooLong = raw.size() > kLiveLineMaxChars;
            const QString line = (tooLong ? raw.left(kLiveLineMaxChars) : raw).trimmed().toString();
            if (!line.isEmpty())
                lines.push_back({line, tooLong});
        }
        from = end + 2;
    }
    m_strPending.remove(0, from);
    if (m_strPending.size() > kLiveLineMaxChars) {
        // A logger that never ends its line must not fill the memory; what is
        // kept of the line is shown, the rest is dropped up to its end.
        if (!m_bSkipping) {
            const QString line = m_strPending.left(kLiveLineMaxChars).trimmed();
            if (!line.isEmpty())
                lines.push_back({line, true});
            m_bSkipping = true;
        }
        // The CR of the line end may have come without its LF.
        m_strPending = m_strPending.endsWith(u'\r') ? QStringLiteral("\r") : QString();
    }
    return lines;
}

void CLiveLineSplitter::Clear() {
    m_strPending.clear();
    m_bSkipping = false;
}

} // namespace corvina
