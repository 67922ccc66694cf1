// The operating-system side of CSerialPort, kept to a few calls so that one
// file per platform implements them (serialport_unix.cpp here). Nothing
// outside CSerialPort and its tests uses this header.
//
// Every function returns 0 on success or the system's error code.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct termios;

namespace corvina::detail {

using PortHandle = int;
inline constexpr PortHandle kInvalidPortHandle = -1;

// Line settings as the caller gives them (codes of SerialParity,
// SerialStopBits and SerialFlowControl).
struct LineSettings {
    uint32_t Baud = 9600;
    uint32_t Parity = 0;
    uint8_t DataBits = 8;
    uint32_t StopBits = 0;
    uint32_t Flow = 0;
};

// Opens an existing device for reading and writing, exclusively: another
// holder of the device gives EBUSY.
uint32_t PlatformOpen(const QByteArray& path, PortHandle& handle);

uint32_t PlatformClose(PortHandle handle);

// Reads the port's line settings, changes what `settings` names and writes
// them back. On failure `failedWriting` tells whether reading (false) or
// writing (true) the settings failed.
uint32_t PlatformApplyLineSettings(PortHandle handle, const LineSettings& settings,
                                   bool& failedWriting);

// Changes a line-settings record as PlatformApplyLineSettings does, without a
// device: raw mode, then the settings. Returns EINVAL for what this platform
// cannot set.
uint32_t PlatformMakeLineSettings(termios& tio, const LineSettings& settings);

// Waits up to waitMicroseconds (negative: without limit) until data is
// there, then reads at most n bytes of it. `got` is 0 when nothing came in
// time. A port that hung up (adapter unplugged) gives an error.
uint32_t PlatformRead(PortHandle handle, void* buf, uint32_t n, int64_t waitMicroseconds,
                      uint32_t& got);

// Writes at most n bytes. With a negative wait it blocks until all n bytes
// are handed over; otherwise it waits up to waitMicroseconds for room and
// hands over what fits.
uint32_t PlatformWrite(PortHandle handle, const void* buf, uint32_t n, int64_t waitMicroseconds,
                       uint32_t& put);

uint32_t PlatformPurgeReceive(PortHandle handle);
uint32_t PlatformDrain(PortHandle handle);

uint32_t PlatformLastError();

// The system's text for an error code; empty when it has none.
QString PlatformErrorText(uint32_t error);

} // namespace corvina::detail
