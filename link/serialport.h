// CSerialPort: one serial (COM) port, opened exclusively, with blocking
// transfers under read and write time-outs.
//
// Failures of the operating system are raised as CSerialException, thrown BY
// VALUE and caught by reference (catch (const CSerialException& e)); nobody
// has to release anything. Only Close never raises.
//
// The class has no lock: the program's one port object, theSerialPort, is
// used by one thread at a time (the port probe on the user-interface thread,
// or the single running logger task).
#pragma once

#include "serialport_platform.h"

#include <QString>

#include <cerrno>
#include <cstdint>
#include <exception>

namespace corvina {

// Line-settings codes; the values are fixed (the forms and stored settings
// use them as numbers).
enum SerialParity : uint32_t {
    NoParity = 0,
    OddParity = 1,
    EvenParity = 2,
    MarkParity = 3,
    SpaceParity = 4,
};

enum SerialStopBits : uint32_t {
    OneStopBit = 0,
    OnePointFiveStopBits = 1, // only with 5 data bits
    TwoStopBits = 2,
};

enum SerialFlowControl : uint32_t {
    NoFlowControl = 0,
    CtsRtsFlowControl = 1,
    CtsDtrFlowControl = 2, // not available on this platform: Open raises EINVAL
    DsrRtsFlowControl = 3, // not available on this platform: Open raises EINVAL
    DsrDtrFlowControl = 4, // not available on this platform: Open raises EINVAL
    XonXoffFlowControl = 5,
};

// Time-outs in milliseconds. A total time-out is multiplier * requested bytes
// + constant; a value of zero turns that time-out off.
//
// A ReadEx of up to n bytes returns as soon as the first of these happens:
//   - n bytes have arrived;
//   - ReadIntervalTimeout is not zero, at least one byte has arrived, and more
//     than ReadIntervalTimeout ms passed after the last byte without another;
//   - the read total time-out is not zero and has run out since the call.
// It returns the bytes received so far, possibly none; running out of time is
// not an error. With all read values zero a read waits until n bytes have
// arrived, however long that takes.
//
// A WriteEx of n bytes returns when all n bytes are handed to the port, or
// when the write total time-out (if not zero) runs out, with the number of
// bytes handed over so far. With both write values zero a write waits until
// every byte is handed over.
//
// The tasks use {10, 0, 100, 0, 0}: a read ends 100 ms after it began, or 10
// ms after the last byte of an answer, or once the buffer is full.
struct SerialTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

// The error code of a port that another program holds (opened exclusively or
// locked). Opening reports it for the device's own exclusive flag and for a
// lock held on it; the tasks show "COM port used by another application".
inline constexpr uint32_t kSerialAccessDenied = EBUSY;
// The error code of a port number without a device, or a device that is gone.
inline constexpr uint32_t kSerialNotFound = ENOENT;

class CSerialException : public std::exception {
public:
    explicit CSerialException(uint32_t error);

    // The operating system's text for m_dwError in the user's language; empty
    // when the system has no text for that code.
    QString GetErrorMessage() const;

    bool IsAccessDenied() const { return m_dwError == kSerialAccessDenied; }
    bool IsNotFound() const { return m_dwError == kSerialNotFound; }

    const char* what() const noexcept override { return m_szWhat; }

    uint32_t m_dwError; // the operating system's error code (errno)

private:
    char m_szWhat[48];
};

// Traces "Warning: throwing CSerialException for error %d\n" and throws a
// CSerialException by value. A code of 0 stands for the calling thread's
// last error (errno).
[[noreturn]] void ThrowSerialException(uint32_t error = 0);

// Writes one debug trace line (printf format; a trailing "\n" is the line
// end). Traces go to the debug output only.
void LinkTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

class CSerialPort {
public:
    CSerialPort() = default;
    virtual ~CSerialPort();

    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens COM<port> through the port map (PortDevicePath). A port number
    // without a device raises kSerialNotFound.
    void Open(int port, uint32_t baud = 9600, SerialParity parity = NoParity, uint8_t dataBits = 8,
              SerialStopBits stopBits = OneStopBit, SerialFlowControl flow = NoFlowControl,
              bool overlapped = false);

    // Closes the port first if it is open, then opens the device exclusively
    // in raw mode with the given line settings. The transfers always block,
    // so `overlapped` changes nothing; it is kept for the callers' sake.
    // Raises kSerialNotFound for a missing device, kSerialAccessDenied for a
    // port another program holds, and EINVAL for a baud rate, data bits,
    // stop bits or flow control this platform cannot set. A failure after the
    // device was opened (line settings) leaves the port open until the next
    // Open or Close.
    void Open(const QString& device, uint32_t baud = 9600, SerialParity parity = NoParity,
              uint8_t dataBits = 8, SerialStopBits stopBits = OneStopBit,
              SerialFlowControl flow = NoFlowControl, bool overlapped = false);

    // Closes the port if it is open. Never raises: a failed close is traced
    // and the port counts as closed.
    void Close();

    bool IsOpen() const { return m_hComm != detail::kInvalidPortHandle; }

    // Applies the time-outs to the next transfers (see SerialTimeouts).
    void SetTimeouts(const SerialTimeouts& timeouts);

    // Blocking read of at most n bytes into buf under the read time-outs.
    // Returns the number of bytes read; 0 means nothing arrived in time.
    // Raises on a failing port (for example an unplugged adapter).
    uint32_t ReadEx(void* buf, uint32_t n);

    // Blocking write of n bytes under the write time-outs. Returns the number
    // of bytes handed to the port (n unless a write time-out ran out).
    uint32_t WriteEx(const void* buf, uint32_t n);

    // Discards everything received and not yet read.
    void PurgeReceiveBuffer();

    // Returns when every byte written so far has left the port.
    void Flush();

private:
    detail::PortHandle m_hComm = detail::kInvalidPortHandle;
    SerialTimeouts m_Timeouts;
};

// The program's one port object, closed until a task or the probe opens it.
extern CSerialPort theSerialPort;

} // namespace corvina
