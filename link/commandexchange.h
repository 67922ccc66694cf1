// The command exchange with the logger: a command goes out, its answer is
// collected until an expected text shows up, with the logger protocol's own
// pacing.
//
// The pacing (the waits after each command, the gap between reads, the read
// time-outs) gives the logger time to process each line. It is fixed by the
// protocol, not by the speed of the PC; TaskPacing's defaults are those
// values, and the program and the command-line tool never use others.
#pragma once

#include "serialport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace corvina {

// Size of the answer buffer, its terminating zero included.
inline constexpr int kReceiveBufferSize = 10000;
// At most this many bytes per read of an answer.
inline constexpr int kReadChunkBytes = 128;
// A command line, its terminator included, fits in this many bytes with a
// terminating zero: at most 127 characters.
inline constexpr int kCommandBufferSize = 128;

// SendAndWait's results, which are also the task results of the three
// logger tasks (see TaskResultMessage).
enum TaskResultCode : int {
    kResultOk = 0,          // the expected text arrived
    kResultNoResponse = 1,  // nothing at all came back
    kResultNotExpected = 2, // an answer came, but without the expected text
    kResultPortBusy = 5,    // the port is held by another program
    kResultPortFailure = 6, // any other failure of the port
};

struct TaskPacing {
    // Applied right after every opening of the task port.
    SerialTimeouts Timeouts{10, 0, 100, 0, 0};
    // Scales every fixed sleep of the exchange and of the tasks, in percent.
    // Only tests that must walk a long failure path compress it.
    int SleepPercent = 100;
};

// The logger's last answer: printable ASCII, CR and LF only. It never holds
// more than kReceiveBufferSize - 1 bytes: what arrives beyond that is dropped.
class CReceiveBuffer {
public:
    // Clears the first `bytes` bytes; the text is empty afterwards.
    void Clear(int bytes = kReceiveBufferSize);
    // Appends the bytes of one read that are printable ASCII (0x20-0x7E), CR
    // or LF, as far as they fit.
    void AppendAnswerBytes(const char* data, int size);
    // Plain substring search; an empty text is always found.
    bool Contains(QByteArrayView text) const;
    QByteArrayView Text() const { return {m_Bytes.data(), m_nLength}; }
    // True when bytes were dropped because the buffer was full.
    bool Overflowed() const { return m_bOverflowed; }

private:
    std::array<char, kReceiveBufferSize> m_Bytes{};
    qsizetype m_nLength = 0;
    bool m_bOverflowed = false;
};

// Where an exchange's time went, for measuring the pacing against its floor.
struct ExchangeStatistics {
    int64_t sleptMicroseconds = 0; // the fixed sleeps, as asked for
    int fullReads = 0;             // reads that filled their kReadChunkBytes
    int partReads = 0;             // reads that got some bytes, then a pause
    int emptyReads = 0;            // reads that got nothing before the time-out
};

// Raised by a CCommandExchange whose abandon flag was set: the program is
// closing and the task must end without waiting for the logger any longer.
struct CTaskAbandoned {};

class CCommandExchange {
public:
    explicit CCommandExchange(CSerialPort& port = theSerialPort, TaskPacing pacing = {});

    // Once *flag is true, every sleep and read raises CTaskAbandoned.
    void SetAbandonFlag(const std::atomic<bool>* flag) { m_pAbandon = flag; }

    // Opens the port the link settings name: PortName without its first three
    // characters ("COM") and PortSpeed, each read as a decimal number (leading
    // digits, 0 without any), 8 data bits, no parity, one stop bit, no flow
    // control; then applies the pacing's time-outs. Raises CSerialException.
    void OpenTaskPort(const QString& portName, const QString& portSpeed);
    // The same for a port number and bit rate already known.
    void OpenTaskPort(int port, uint32_t baud);

    // Writes `command` and collects the answer in ReceiveBuffer() until
    // `expected` occurs in it. An attempt reads at most readLimit + 1 times;
    // each read waits for the port's read time-outs, so the read limit sets
    // how long the logger may take to answer. Up to three attempts; the
    // second and third wait 100 ms longer before their first read.
    //
    // Returns kResultOk once `expected` was seen (an empty `expected` is seen
    // at once: the command is written, the answer discarded after 50 ms),
    // kResultNotExpected when after three attempts something had come back
    // but not `expected` (also when an answer too long for the buffer pushed
    // it out), kResultNoResponse when nothing came back at all. Port failures
    // raise CSerialException.
    int SendAndWait(QByteArrayView command, QByteArrayView expected, int readLimit);

    CReceiveBuffer& ReceiveBuffer() { return m_Buffer; }
    CSerialPort& Port() { return m_Port; }
    const TaskPacing& Pacing() const { return m_Pacing; }

    // One of the protocol's fixed sleeps (scaled by the pacing).
    void Sleep(int ms);

    const ExchangeStatistics& Statistics() const { return m_Stats; }

private:
    void CheckAbandoned() const;

    CSerialPort& m_Port;
    TaskPacing m_Pacing;
    CReceiveBuffer m_Buffer;
    const std::atomic<bool>* m_pAbandon = nullptr;
    ExchangeStatistics m_Stats;
};

// The port number of a PortName ("COM12" gives 12; "COM" or "" give 0).
int TaskPortNumber(const QString& portName);
// The bit rate of a PortSpeed or Serial2 text (leading digits, 0 without any).
uint32_t TaskBaudRate(const QString& speed);

// The 8-bit form of a command line, terminator included, for a command
// buffer of bufferSize bytes (the text and its terminating zero). Each
// character U+0001-U+00FF becomes the byte of the same value. Nothing when a
// character has no 8-bit form (or is U+0000, which would end the line early)
// or the line does not fit: such a line is never sent cut.
std::optional<QByteArray> ToNarrowText(QStringView line, int bufferSize = kCommandBufferSize);

} // namespace corvina
