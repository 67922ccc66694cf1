// The in-memory configuration of one data logger.
//
// LoggerConfig is a plain copyable value: the program keeps exactly one
// process-wide instance (theConfig) that the forms exchange data with, and the
// logger tasks work on copies of it. Field names are the names of their script
// keys or form columns. Tables are indexed from 0; channel numbers shown to the
// user and written to scripts start at 1.
//
// Before the first ResetToDefaults every integer is 0, every float 0.0 and
// every text empty.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace corvina {

// A check-box value: 0 (off) or 1 (on).
using Flag = int32_t;

struct SystemSettings {
    QString SN;      // characters 5-6 are the model code
    QString Version; // kept from the word "Version" on
    QString Name;
    int32_t MeasInterval = 0; // seconds
    uint8_t MeasDelay = 0;    // seconds, 0-255
    int32_t LogInterval = 0;  // seconds
    int32_t RepInterval = 0;  // seconds
    float Vref = 0.0f;        // mV
    QString Serial1;          // bit rate of logger port 1
    QString Serial2;          // bit rate of logger port 2
    QString DataFormat;       // "Default", "CSV", "2", "3" or whatever the logger reports
    Flag RS485 = 0;
    QString RS485Address;
    Flag EWS = 0;
    QString DisplaySize;
    QString DateDay, DateMonth, DateYear;     // logger date as reported
    QString TimeHour, TimeMinute, TimeSecond; // logger time as reported
    Flag SetTime = 0;                         // system form's "Set Time" check
};

struct ModemSettings {
    float ModemInterval = 0.0f; // hours
    uint32_t ModemOnTimeHour = 0;
    uint32_t ModemOnTimeMinute = 0;
    uint32_t ModemOnDuration = 0; // minutes
    QString ModemPIN;
    QString ModemNumber;
    QString APN;
    QString IP;
    QString UserName;
    QString Password;
    QString EmailFrom;
    QString EmailTo;
    QString TimeServer;
    int32_t TimeZone = 0; // hours
    QString ModemMode;    // "EMAIL" or "FTP"
    QString SmsCenter;
    QString IPConnect;
    QString IPConfig;
    QString UserNameConfig;
    QString PasswordConfig;
    QString UserNameApn;
    QString PasswordApn;
};

// PC side of the link; never written to a script.
struct LinkSettings {
    QString PortName;  // "COM" + port number
    QString PortSpeed; // PC bit rate
    Flag SetSystemTime = 0;
    QString DeviceModel; // set from SN by the parser
};

struct AnalogInput {
    Flag Measure = 0;
    Flag Ratio = 0;   // used by AIN9-AIN20
    Flag Vect = 0;    // used by AIN1-AIN8
    QString Range;    // mV: "2500", "1250", "625", "312", "156", "78", "39", "19"
    QString Polarity; // "BIP" or "UNIP"
    QString Sensor;   // sensor catalogue entry name, "" for none
    QString Poly;     // "P1" ... "P16"
    QString Output;   // "O0" (none) or "O1" ... "O32"
};

struct DigitalInput {
    Flag Measure = 0;
    QString Type; // "FREQ", "COUNT" or "TIME"
    QString Sensor;
    QString Poly;
    QString Output;
};

struct InternalInput {
    QString Alias;
    QString Poly;
    QString Output;
    QString Input1; // "0" or "O1" ... "O32"
    QString Input2;
};

struct SerialInput {
    Flag Measure = 0;
    QString Com;    // "COM1" or "COM2" (logger port)
    QString Brate;  // "300" ... "115200"
    QString Bits;   // "7" or "8"
    QString Parity; // "None", "Even", "Odd"
    QString Stopb;  // "1" or "2"
    QString Driver; // serial driver name, "NONE" or "" for none
    QString Address;
};

struct OutputChannel {
    QString Input; // "0", "A3_<sensor>", "D1_<sensor>", "I2_<alias>", "S1_<value name>"
    Flag Min = 0;
    Flag Max = 0;
    Flag Sdev = 0;
    Flag Vect = 0;
    QString Poly;
    QString Alias;
};

// A0 + A1*x + A2*x^2 + A3*x^3
struct Polynomial {
    float A0 = 0.0f;
    float A1 = 0.0f;
    float A2 = 0.0f;
    float A3 = 0.0f;
};

struct EwsRule {
    QString Input; // "0" or "O1" ... "O32"
    QString Type;  // "NONE", "MORE", ..., "DOOR"
    QString LogInt;
    QString ModemInt;
    QString Alarm;
    QString Units;
    std::array<Flag, 16> T{}; // T[0] is T1 ... T[15] is T16: which SMS numbers are notified
};

// One entry of the logger's serial driver list.
struct SerialDriver {
    int32_t Id = 0;   // 0 ends the list
    int32_t Kind = 0; // 1: a driver; 0: a value of the driver entry before it
    QString Name;
};

// One entry of the sensor catalogue ("sensor.ini").
struct SensorDef {
    QString Kind; // "analog" or "digital"
    QString Name; // "" ends the used entries
    QString Polarity;
    QString Range; // "2500mV", "1250mV", "635mV", ... as in the file
    QString Type;  // "FREQ", "COUNT" or "TIME"
    Flag Ratio = 0;
    Flag Vect = 0;
    float A0 = 0.0f;
    float A1 = 0.0f;
    float A2 = 0.0f;
    float A3 = 0.0f;
    std::array<Flag, 20> Channels{}; // Channels[k-1]: may be chosen for input channel k
};

inline constexpr int kAnalogInputs = 20;
inline constexpr int kDigitalInputs = 8;
inline constexpr int kInternalInputs = 32;
inline constexpr int kInternalInputsUsed = 19;
inline constexpr int kSerialInputs = 16;
inline constexpr int kSerialInputsUsed = 8;
inline constexpr int kOutputChannels = 64;
inline constexpr int kOutputChannelsUsed = 32;
inline constexpr int kPolynomials = 16;
inline constexpr int kEwsRules = 16;
inline constexpr int kSmsNumbers = 16;
inline constexpr int kSerialDrivers = 256;
inline constexpr int kSensors = 50;
inline constexpr int kPortTable = 256;

struct LoggerConfig {
    SystemSettings System;
    ModemSettings Modem;
    LinkSettings Link;
    std::array<AnalogInput, kAnalogInputs> Analog;
    std::array<DigitalInput, kDigitalInputs> Digital;
    std::array<InternalInput, kInternalInputs> Internal;
    std::array<SerialInput, kSerialInputs> Serial;
    std::array<OutputChannel, kOutputChannels> Outputs;
    std::array<Polynomial, kPolynomials> Polys;
    std::array<EwsRule, kEwsRules> Ews;
    std::array<QString, kSmsNumbers> SmsNumber; // SmsNumber[0] is number 1
    std::array<SerialDriver, kSerialDrivers> Drivers;
    std::array<SensorDef, kSensors> Sensors;
    std::array<int32_t, kPortTable> PortPresence{}; // [n] is 1 when COMn exists
};

// The configuration the forms edit. Lives for the whole run.
extern LoggerConfig theConfig;

// Applies the new-document defaults. Leaves alone: Version, EWS, the logger
// date and time, DeviceModel, the SMS numbers, the T1-T16 flags of every rule,
// the Alias of internal entries 20-32, the serial driver list, and the Type and
// Vect of sensor catalogue entries.
void ResetToDefaults(LoggerConfig& cfg);

} // namespace corvina
