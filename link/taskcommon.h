// Pieces the three logger tasks share. Private to the task sources.
#pragma once

#include "loggertasks.h"

namespace corvina::detail {

// Read limits and the sleeps after the first two steps of the service-mode
// handshake; they differ from task to task.
struct HandshakeNumbers {
    int crReads;
    int crSleepMs;
    int exitReads;
    int exitSleepMs;
    int serviceReads;
    int progressBeforeService = -1; // shown between "Exit" and "Service"; -1: none
};

// "\r" and "Exit\r" await nothing; "Service\r" awaits "Service mode
// started". Returns the result of that last exchange.
int ServiceHandshake(CCommandExchange& exchange, CTaskHost& host, const HandshakeNumbers& n);

// Shows the message of a result, if it has one.
void ShowResultMessage(CTaskHost& host, LoggerTaskKind task, int result);

// A task never leaves the port held after it ended, not even after a
// failure: another program may want it before the next task runs.
void ReleasePort(CCommandExchange& exchange);

// The end of a query session: "Exit\r" (only while the logger answers),
// progress 100, a pause, the port flushed and closed, progress 0.
void EndServiceSession(CCommandExchange& exchange, CTaskHost& host, int result);

// Runs a task's exchanges, body() returning the task result. A port failure
// in them becomes 5 or 6, an abandoned task -1 (no message); otherwise the
// result's message is shown. The port is released in every case.
template <typename Body>
int RunTaskBody(LoggerTaskKind task, CCommandExchange& exchange, CTaskHost& host, Body body) {
    int result = kResultOk;
    try {
        result = body();
    } catch (const CSerialException& e) {
        result = ResultOfPortFailure(e);
    } catch (const CTaskAbandoned&) {
        ReleasePort(exchange);
        return -1;
    }
    ReleasePort(exchange);
    ShowResultMessage(host, task, result);
    return result;
}

} // namespace corvina::detail
