// What the simulated logger says: its factory configuration, the answers to
// the configuration queries and its live value rows.
//
// Answers use the same line texts as a configuration file, plus the keys only a
// logger reports (SN, Version, Date, Time, DisplaySize, ModemNumber,
// SystemOnTime), unit suffixes on the numeric keys ("MeasInterval 60 sec") and
// the sensor or alias of analog, digital and internal channels as a trailing
// "A=" field, so that reading an answer back yields the configuration it was
// built from.
#pragma once

#include "loggerconfig.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <optional>

namespace corvina {

enum class SimQuery {
    Identity,      // "?"
    SerialDrivers, // "SerialDriver?"
    Config1,       // name, intervals, Vref, analog inputs
    Config2,       // digital inputs
    Config3,       // internal inputs
    Config4,       // serial ports and serial inputs
    Config5,       // output channels and polynomials
    EarlyWarning,  // switch, rules, SMS centre and numbers
    Modem,
    System, // clock, data format, display, time switched on
};

// The query a command line (without its CR) asks, if any.
std::optional<SimQuery> SimQueryFromLine(QByteArrayView line);

// The lines of an answer, each ended by CR LF, without the closing "OK".
// clock is the logger's clock; upSeconds how long it has been switched on.
QByteArray SimAnswerLines(const LoggerConfig& cfg, SimQuery query, const QDateTime& clock,
                          qint64 upSeconds);

// The configuration a logger leaves the factory with: the new-document
// defaults, a serial number whose characters 5-6 give the model code "06", a
// firmware version and a serial driver list.
LoggerConfig SimFactoryConfig();

// The driver list the factory configuration carries.
void SimSetFactoryDrivers(LoggerConfig& cfg);

// One live value row, ended by CR LF: date, time and one value per output
// column (the value of every used output, then its Min, Max and Stdev when
// those are switched on). Fields are separated by a comma when DataFormat is
// "CSV", by a blank otherwise. sample numbers the row so values vary.
QByteArray SimLiveRow(const LoggerConfig& cfg, const QDateTime& when, qint64 sample);

// The number of values SimLiveRow writes after date and time.
int SimLiveColumnCount(const LoggerConfig& cfg);

} // namespace corvina
