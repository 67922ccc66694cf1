#include "serialport.h"

#include "portmap.h"

#include <QDebug>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace corvina {

CSerialPort theSerialPort;

namespace {

using Clock = std::chrono::steady_clock;

// Time left until `deadline` in whole microseconds, rounded up so that a
// wait never ends just short of it; 0 once it has passed.
int64_t MicrosecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - Clock::now());
    return std::max<int64_t>(0, left.count());
}

[[noreturn]] void TraceAndThrow(const char* format, uint32_t error) {
    LinkTrace(format, static_cast<int>(error));
    ThrowSerialException(error);
}

} // namespace

void LinkTrace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    QString text = QString::vasprintf(format, args);
    va_end(args);
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1); // the debug output ends every message with its own line end
    }
    qDebug().noquote() << text;
}

CSerialException::CSerialException(uint32_t error) : m_dwError(error) {
    std::snprintf(m_szWhat, sizeof m_szWhat, "serial port error %u", error);
}

QString CSerialException::GetErrorMessage() const {
    return detail::PlatformErrorText(m_dwError);
}

void ThrowSerialException(uint32_t error) {
    if (error == 0) {
        error = detail::PlatformLastError();
    }
    LinkTrace("Warning: throwing CSerialException for error %d\n", static_cast<int>(error));
    throw CSerialException(error);
}

CSerialPort::~CSerialPort() {
    Close();
}

void CSerialPort::Open(int port, uint32_t baud, SerialParity parity, uint8_t dataBits,
                       SerialStopBits stopBits, SerialFlowControl flow, bool overlapped) {
    const QString device = PortDevicePath(port);
    if (device.isEmpty()) {
        Close();
        TraceAndThrow("CSerialPort::Open, Failed to open the comms port, Error:%d\n",
                      kSerialNotFound);
    }
    Open(device, baud, parity, dataBits, stopBits, flow, overlapped);
}

void CSerialPort::Open(const QString& device, uint32_t baud, SerialParity parity, uint8_t dataBits,
                       SerialStopBits stopBits, SerialFlowControl flow, bool /*overlapped*/) {
    Close();

    if (const uint32_t error = detail::PlatformOpen(device.toLocal8Bit(), m_hComm)) {
        m_hComm = detail::kInvalidPortHandle;
        TraceAndThrow("CSerialPort::Open, Failed to open the comms port, Error:%d\n", error);
    }
    m_Timeouts = SerialTimeouts{};

    Q_ASSERT(static_cast<uint32_t>(parity) <= SpaceParity);
    Q_ASSERT(static_cast<uint32_t>(stopBits) <= TwoStopBits);
    Q_ASSERT(static_cast<uint32_t>(flow) <= XonXoffFlowControl);
    detail::LineSettings settings;
    settings.Baud = baud;
    settings.Parity = parity;
    settings.DataBits = dataBits;
    settings.StopBits = stopBits;
    settings.Flow = flow;
    bool failedWriting = false;
    if (const uint32_t error =
            detail::PlatformApplyLineSettings(m_hComm, settings, failedWriting)) {
        TraceAndThrow(failedWriting
                          ? "CSerialPort::SetState, Failed in call to SetCommState, Error:%d\n"
                          : "CSerialPort::GetState, Failed in call to GetCommState, Error:%d\n",
                      error);
    }
}

void CSerialPort::Close() {
    if (!IsOpen()) {
        return;
    }
    const uint32_t error = detail::PlatformClose(m_hComm);
    m_hComm = detail::kInvalidPortHandle;
    if (error) {
        LinkTrace("CSerialPort::Close, Failed to close up the comms port, Error:%d\n",
                  static_cast<int>(error));
    }
}

void CSerialPort::SetTimeouts(const SerialTimeouts& timeouts) {
    Q_ASSERT(IsOpen());
    if (!IsOpen()) {
        TraceAndThrow("CSerialPort::SetTimeouts, Failed in call to SetCommTimeouts, Error:%d\n",
                      EBADF);
    }
    m_Timeouts = timeouts;
}

uint32_t CSerialPort::ReadEx(void* buf, uint32_t n) {
    Q_ASSERT(IsOpen());
    auto* bytes = static_cast<unsigned char*>(buf);
    const auto start = Clock::now();
    const uint64_t totalMs =
        uint64_t{m_Timeouts.ReadTotalTimeoutMultiplier} * n + m_Timeouts.ReadTotalTimeoutConstant;
    const auto totalDeadline = start + std::chrono::milliseconds(totalMs);
    const auto interval = std::chrono::milliseconds(m_Timeouts.ReadIntervalTimeout);

    uint32_t got = 0;
    Clock::time_point lastByte;
    while (got < n) {
        int64_t wait = -1; // no limit
        if (totalMs != 0) {
            wait = MicrosecondsUntil(totalDeadline);
            if (wait == 0) {
                break;
            }
        }
        if (interval.count() != 0 && got > 0) {
            const int64_t pause = MicrosecondsUntil(lastByte + interval);
            if (pause == 0) {
                break;
            }
            wait = wait < 0 ? pause : std::min(wait, pause);
        }
        uint32_t chunk = 0;
        if (const uint32_t error =
                detail::PlatformRead(m_hComm, bytes + got, n - got, wait, chunk)) {
            TraceAndThrow("CSerialPort::ReadEx, Failed in call to ReadFileEx, Error:%d\n", error);
        }
        if (chunk != 0) {
            got += chunk;
            lastByte = Clock::now();
        }
    }
    return got;
}

uint32_t CSerialPort::WriteEx(const void* buf, uint32_t n) {
    Q_ASSERT(IsOpen());
    const auto* bytes = static_cast<const unsigned char*>(buf);
    const uint64_t totalMs =
        uint64_t{m_Timeouts.WriteTotalTimeoutMultiplier} * n + m_Timeouts.WriteTotalTimeoutConstant;
    const auto deadline = Clock::now() + std::chrono::milliseconds(totalMs);

    uint32_t put = 0;
    // Without a time-out one call hands over everything; the loop is for
    // the time-out, which may need several rounds of waiting for room.
    while (put < n) {
        int64_t wait = -1;
        if (totalMs != 0) {
            wait = MicrosecondsUntil(deadline);
            if (wait == 0) {
                break;
            }
        }
        uint32_t chunk = 0;
        if (const uint32_t error =
                detail::PlatformWrite(m_hComm, bytes + put, n - put, wait, chunk)) {
            TraceAndThrow("CSerialPort::WriteEx, Failed in call to WriteFileEx, Error:%d\n", error);
        }
        put += chunk;
    }
    return put;
}

void CSerialPort::PurgeReceiveBuffer() {
    Q_ASSERT(IsOpen());
    if (const uint32_t error = detail::PlatformPurgeReceive(m_hComm)) {
        TraceAndThrow("CSerialPort::Purge, Failed in call to PurgeComm, Error:%d\n", error);
    }
}

void CSerialPort::Flush() {
    Q_ASSERT(IsOpen());
    if (const uint32_t error = detail::PlatformDrain(m_hComm)) {
        TraceAndThrow("CSerialPort::Flush, Failed in call to FlushFileBuffers, Error:%d\n", error);
    }
}

} // namespace corvina
