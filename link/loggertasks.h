// The logger tasks: retrieve the configuration, send it, reset the logger to
// its factory configuration.
//
// A task runs on a worker thread, once, from start to end; there is no
// cancel. It never touches the configuration the forms exchange data with:
// it is given a copy when it starts and hands its result back as a copy
// (TaskOutcome), which the host takes over on its own thread
// (ApplyTaskOutcome). It reaches the user only through a CTaskHost.
//
// Only one task runs at a time: the starter sets the task's ActivityFlags
// bit (ActivityBitOf) on an idle word before the task starts, and clears it
// after the task has ended and its result has been taken over.
#pragma once

#include "commandexchange.h"
#include "loggerconfig.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace corvina {

enum class LoggerTaskKind { Retrieve, Send, Default };

// 0x01 retrieve, 0x02 send, 0x10 reset to defaults.
uint32_t ActivityBitOf(LoggerTaskKind task);

// Captions of the task's message boxes.
inline constexpr const char* kErrorCaption = "Error Message";
inline constexpr const char* kNoResponseCaption = "Commands with no response";

// The message a task shows for its result; empty for 0 (and for any code
// without a message). Code 2 reads "No Expected  Response from Datalogger"
// (two blanks) after a retrieve or reset and with one blank after a send.
QString TaskResultMessage(LoggerTaskKind task, int result);

// What a task needs from the program around it. Every call comes from the
// task's worker thread.
class CTaskHost {
public:
    virtual ~CTaskHost() = default;

    // Shows percent (0-100) in the progress bar of the active configuration
    // form; nothing when another kind of form is active. Must not block.
    virtual void SetProgress(int percent) = 0;

    // Shows text in a message box titled caption, with the error icon and an
    // OK button, and returns only once the user has closed it: the task, and
    // its ActivityFlags bit, stay until then.
    virtual void ShowError(const QString& caption, const QString& text) = 0;

    // The PC's local clock, read for the send task's date and time lines.
    virtual QDateTime LocalTime() { return QDateTime::currentDateTime(); }
};

struct TaskOutcome {
    LoggerTaskKind task = LoggerTaskKind::Retrieve;
    // 0, 1, 2, 5 or 6 (TaskResultCode); -1 when the task was abandoned
    // because the program was closing.
    int result = kResultOk;
    // Send: every command line that went unanswered or could not be built,
    // terminator included, in the order of sending.
    QString noResponseList;
    // The task's copy of the configuration at its end. Retrieve and reset:
    // the logger's configuration as far as it was read. Send: the
    // configuration as sent, with Link.PortSpeed set to Serial1 (the speed
    // the logger's PC link has from now on).
    LoggerConfig config;
};

// The worker bodies. Each runs its whole command sequence on the port
// (theSerialPort unless another is given), shows its messages through the
// host and returns its outcome. start is the configuration at the moment the
// task was started.
TaskOutcome RetrieveThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange);
TaskOutcome SendThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange);
TaskOutcome DefaultThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange);

TaskOutcome RunLoggerTask(LoggerTaskKind task, const LoggerConfig& start, CTaskHost& host,
                          CCommandExchange& exchange);

// The result of a port failure in any task that uses the port, live view
// included: traces "Handle Exception, Message %s\n" and returns 5 for a port
// that another program holds, 6 for every other failure.
int ResultOfPortFailure(const CSerialException& e);

// Takes a finished task's result over into target, on the thread that owns
// target. Retrieve and reset: everything except the PC-side link choices
// (PortName, PortSpeed, SetSystemTime), the port table and the sensor
// catalogue, which belong to this PC rather than to the logger; a retrieve
// that did not succeed changes nothing. Send: only Link.PortSpeed. An
// abandoned task changes nothing.
void ApplyTaskOutcome(LoggerConfig& target, const TaskOutcome& outcome);

// The values a retrieve starts from, before the logger's answers fill them
// in. Leaves alone what the answers may not name and the logger does not
// own: RS485Address, DisplaySize, EWS, Version, the date and time texts,
// SetTime, the link settings, the Alias of internal inputs, the T1-T16 flags,
// the sensor catalogue, the port table and the serial driver list.
void WriteRetrieveStartValues(LoggerConfig& cfg);

// Fills the serial driver list from the answer to "SerialDriver?": the first
// 16 characters (the echoed command and the line end after it) are skipped;
// each following line of more than 4 characters that ends with LF becomes
// the next entry, "Id,Kind,Name" up to the line's CR. Entries after the last
// one written keep what they held; lines beyond the 256 entries are ignored.
void FillSerialDriverTable(LoggerConfig& cfg, QByteArrayView answer);

} // namespace corvina
