// Resetting the logger to its factory configuration.
#include "configparser.h"
#include "taskcommon.h"

namespace corvina {

namespace {
constexpr detail::HandshakeNumbers kHandshake{100, 150, 20, 150, 10, 20};
} // namespace

TaskOutcome DefaultThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange) {
    TaskOutcome outcome;
    outcome.task = LoggerTaskKind::Default;
    outcome.config = start;
    host.SetProgress(3);
    outcome.result = detail::RunTaskBody(outcome.task, exchange, host, [&] {
        exchange.OpenTaskPort(start.Link.PortName, start.Link.PortSpeed);
        host.SetProgress(10);
        int result = detail::ServiceHandshake(exchange, host, kHandshake);
        host.SetProgress(50);
        exchange.Sleep(100);
        CReceiveBuffer& answer = exchange.ReceiveBuffer();
        answer.Clear(3000);
        if (result == kResultOk)
            result = exchange.SendAndWait("SetDefaultConfig\r", "OK", 100);
        // Configuration lines in the answer change the fields they name.
        ParseConfigScript(outcome.config, answer.Text());
        host.SetProgress(70);
        answer.Clear(3000);
        host.SetProgress(90);
        detail::EndServiceSession(exchange, host, result);
        return result;
    });
    return outcome;
}

} // namespace corvina
