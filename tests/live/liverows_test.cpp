// Reading the logger's live lines: which lines are rows and what their cells
// hold, the data columns the outputs give, and splitting a stream into lines
// however the reads cut it.
#include "liverows.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace corvina;

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct RowCase {
    const char* name;
    QString line;
    QString format;
    int columns;
    bool isRow;
    QStringList cells; // date, time, values
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

QString Dated(qsizetype length) {
    QString line = QStringLiteral("12.03.2019 ");
    line += QString(length - line.size(), QLatin1Char('7'));
    return line;
}

const RowCase kRowCases[] = {
    {"BlankSeparated",
     "12.03.2019 10:15:00 21.4 22.0 55",
     "Default",
     3,
     true,
     {"12.03.2019", "10:15:00", "21.4", "22.0", "55"}},
    {"CommaSeparated",
     "12.03.2019,10:15:00,21.4,22.0,55",
     "CSV",
     3,
     true,
     {"12.03.2019", "10:15:00", "21.4", "22.0", "55"}},
    {"CommaSeparatedEmptyField",
     "12.03.2019,10:15:00,,22.0,55",
     "CSV",
     3,
     true,
     {"12.03.2019", "10:15:00", "", "22.0", "55"}},
    {"CommaFormatKeepsBlanksInsideFields",
     "12.03.2019,10:15:00,21 4,x",
     "CSV",
     2,
     true,
     {"12.03.2019", "10:15:00", "21 4", "x"}},
    {"RunsOfBlanks",
     "12.03.2019  10:15:00   21.4  22.0 55",
     "Default",
     3,
     true,
     {"12.03.2019", "10:15:00", "21.4", "22.0", "55"}},
    {"FewerFieldsThanColumnsLeaveCellsEmpty",
     "12.03.2019 10:15:00 21.4",
     "Default",
     3,
     true,
     {"12.03.2019", "10:15:00", "21.4", "", ""}},
    {"EndsAfterTheTime",
     "12.03.2019 10:15:00",
     "Default",
     2,
     true,
     {"12.03.2019", "10:15:00", "", ""}},
    {"DateOnly", "12.03.2019", "Default", 2, true, {"12.03.2019", "", "", ""}},
    {"MoreFieldsThanColumns",
     "12.03.2019 10:15:00 1 2 3 4",
     "Default",
     2,
     true,
     {"12.03.2019", "10:15:00", "1", "2"}},
    {"NoDataColumns", "12.03.2019 10:15:00 1 2", "Default", 0, true, {"12.03.2019", "10:15:00"}},
    {"ShortDateDigits", "1.3.19 8:00 5", "Default", 1, true, {"1.3.19", "8:00", "5"}},
    {"CommaLineInBlankFormat",
     "12.03.2019,10:15:00,21.4",
     "Default",
     1,
     true,
     {"12.03.2019,10:15:00,21.4", "", ""}},
    {"OtherFormatSplitsAtItsFirstBlank",
     "12.03.2019 10:15:00 21.4",
     "2",
     1,
     true,
     {"12.03.2019", "10:15:00", "21.4"}},
    {"OtherFormatSplitsAtItsFirstComma",
     "12.03.2019,10:15:00,21.4",
     "3",
     1,
     true,
     {"12.03.2019", "10:15:00", "21.4"}},
    {"LongestLineThatFits",
     Dated(kLiveLineMaxChars),
     "Default",
     0,
     true,
     {"12.03.2019", Dated(kLiveLineMaxChars).mid(11)}},
    {"LatinOneCharacters",
     "12.03.2019 10:15:00 21.4\u00b0C",
     "Default",
     1,
     true,
     {"12.03.2019", "10:15:00", "21.4\u00b0C"}},

    {"NoDate", "Temp 21.4 Hum 55", "Default", 2, false, {}},
    {"IsoDate", "2019-03-12 10:15:00 21.4", "Default", 1, false, {}},
    {"DayAndMonthOnly", "12.03 10:15:00", "Default", 1, false, {}},
    {"LoggerPrompt", "Service mode started", "Default", 1, false, {}},
    {"Empty", "", "Default", 1, false, {}},
    {"Garbage", "\x01\x7f@@\xff\xfe", "Default", 1, false, {}},
    {"CharacterWithoutEightBitForm", "12.03.2019 10:15:00 \u221e", "Default", 1, false, {}},
    {"OneCharacterTooLong", Dated(kLiveLineMaxChars + 1), "Default", 0, false, {}},
};

class LiveRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(LiveRowTest, Cells) {
    const RowCase& c = GetParam();
    const auto row = ParseLiveRow(c.line, LiveFieldSeparator(c.format), c.columns);
    ASSERT_EQ(row.has_value(), c.isRow);
    if (!row)
        return;
    EXPECT_EQ(QStringList({row->Date, row->Time}) + row->Values, c.cells);
    EXPECT_EQ(row->Values.size(), c.columns);
}

INSTANTIATE_TEST_SUITE_P(Lines, LiveRowTest, testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LiveFieldSeparator, FromTheDataFormat) {
    EXPECT_EQ(LiveFieldSeparator(QStringLiteral("Default")), ' ');
    EXPECT_EQ(LiveFieldSeparator(QStringLiteral("CSV")), ',');
    for (const char* other : {"2", "3", "", "csv", "CSV "})
        EXPECT_EQ(LiveFieldSeparator(QString::fromLatin1(other)), std::nullopt) << other;
}

LoggerConfig DefaultConfig() {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    return cfg;
}

TEST(LiveDataColumns, FollowTheOutputChannelsInOrder) {
    LoggerConfig cfg = DefaultConfig();
    EXPECT_EQ(LiveDataColumns(cfg), QStringList()) << "no output in use";

    cfg.Outputs[0].Input = QStringLiteral("A1_PT100");
    cfg.Outputs[0].Alias = QStringLiteral("Temp");
    cfg.Outputs[0].Max = 1;
    cfg.Outputs[1].Input = QStringLiteral("A2_HUM");
    cfg.Outputs[1].Alias = QStringLiteral("Hum");
    // Not in use, but its statistics are logged all the same.
    cfg.Outputs[4].Min = 1;
    cfg.Outputs[4].Alias = QStringLiteral("unused");
    // A flag holding anything but 1 adds no column.
    cfg.Outputs[5].Sdev = 2;
    cfg.Outputs[31].Input = QStringLiteral("I1_VBAT");
    cfg.Outputs[31].Alias = QStringLiteral("Vbat");
    cfg.Outputs[31].Min = 1;
    cfg.Outputs[31].Sdev = 1;
    EXPECT_EQ(LiveDataColumns(cfg),
              QStringList({"Temp", "Max", "Hum", "Min", "Vbat", "Min", "Stdev"}));
}

TEST(LiveDataColumns, EveryOutputWithEveryStatistic) {
    LoggerConfig cfg = DefaultConfig();
    for (int k = 0; k < kOutputChannelsUsed; ++k) {
        cfg.Outputs[k].Input = QStringLiteral("A1_X");
        cfg.Outputs[k].Alias = QStringLiteral("O%1").arg(k + 1);
        cfg.Outputs[k].Min = cfg.Outputs[k].Max = cfg.Outputs[k].Sdev = 1;
    }
    const QStringList columns = LiveDataColumns(cfg);
    ASSERT_EQ(columns.size(), 128);
    EXPECT_EQ(columns.mid(124), QStringList({"O32", "Min", "Max", "Stdev"}));
}

TEST(LiveTextFromBytes, EachByteItsOwnCharacterZeroBytesDropped) {
    EXPECT_EQ(LiveTextFromBytes(QByteArrayView("21.4\xb0"
                                               "C\r\n",
                                               8)),
              QStringLiteral("21.4\u00b0C\r\n"));
    EXPECT_EQ(LiveTextFromBytes(QByteArrayView("12\0.03\0", 7)), QStringLiteral("12.03"))
        << "a zero byte must not cut off the rest of the read";
}

// The splitter gets a stream in reads; the lines must not depend on where
// the reads cut it.
QStringList Texts(const QList<LiveLine>& lines) {
    QStringList texts;
    for (const auto& l : lines)
        texts << l.Text;
    return texts;
}

TEST(LiveLineSplitter, ALineCutAnywhereIsHandledOnceWhenItsLineEndHasCome) {
    const QString stream =
        QStringLiteral("12.03.2019 10:15:00 21.4\r\n12.03.2019 10:15:01 21.5\r\n");
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        CLiveLineSplitter splitter;
        const QStringList first = Texts(splitter.Append(QStringView(stream).left(cut)));
        const QStringList second = Texts(splitter.Append(QStringView(stream).mid(cut)));
        EXPECT_EQ(first + second,
                  QStringList({"12.03.2019 10:15:00 21.4", "12.03.2019 10:15:01 21.5"}))
            << "cut at " << cut;
        // Nothing of a line is given out before its CR LF is complete.
        EXPECT_EQ(first.size(), (cut >= 26) + (cut >= 52)) << "cut at " << cut;
        EXPECT_TRUE(splitter.Pending().isEmpty());
    }
}

TEST(LiveLineSplitter, SeveralLinesOfOneReadInOrderBlankLinesLeftOut) {
    CLiveLineSplitter splitter;
    EXPECT_EQ(Texts(splitter.Append(u"\r\n  first \r\n\r\n \t\r\nsecond\r\nthird\rstill\r\n12.0")),
              QStringList({"first", "second", "third\rstill"}));
    EXPECT_EQ(splitter.Pending(), QStringLiteral("12.0"));
    EXPECT_EQ(Texts(splitter.Append(u"3.2019\nrest\r\n")), QStringList({"12.03.2019\nrest"}))
        << "only CR LF ends a line";
}

TEST(LiveLineSplitter, ALineWithoutEndKeepsTheMemoryBounded) {
    CLiveLineSplitter splitter;
    const QString chunk(512, QLatin1Char('x'));
    QList<LiveLine> lines;
    for (int read = 0; read < 100; ++read) {
        lines += splitter.Append(chunk);
        ASSERT_LE(splitter.Pending().size(), kLiveLineMaxChars + chunk.size());
    }
    ASSERT_EQ(lines.size(), 1) << "the too long line is given out once";
    EXPECT_TRUE(lines[0].TooLong);
    EXPECT_EQ(lines[0].Text.size(), kLiveLineMaxChars);

    // Its end, cut between CR and LF, ends the dropping; the next line is whole.
    lines = splitter.Append(u"xxx\r");
    lines += splitter.Append(u"\n12.03.2019 10:15:00 1\r\n");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_FALSE(lines[0].TooLong);
    EXPECT_EQ(lines[0].Text, QStringLiteral("12.03.2019 10:15:00 1"));
}

TEST(LiveLineSplitter, ATooLongLineInOneReadIsMarked) {
    CLiveLineSplitter splitter;
    const auto lines =
        splitter.Append(Dated(kLiveLineMaxChars + 5) + QStringLiteral("\r\nnext\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].TooLong);
    EXPECT_EQ(lines[0].Text.size(), kLiveLineMaxChars);
    EXPECT_FALSE(lines[1].TooLong);
}

} // namespace
