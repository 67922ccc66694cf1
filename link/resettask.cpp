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
    int result = kResultOk;
    host.SetProgress(3);
    try {
        exchange.OpenTaskPort(start.Link.PortName, start.Link.PortSpeed);
        host.SetProgress(10);
        result = detail::ServiceHandshake(exchange, host, kHandshake);
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
        if (result == kResultOk)
            exchange.SendAndWait("Exit\r", "", 20);
        host.SetProgress(100);
        exchange.Sleep(100);
        exchange.Port().Flush();
        exchange.Port().Close();
        host.SetProgress(0);
    } catch (const CSerialException& e) {
        result = detail::ResultOfPortFailure(e);
    } catch (const CTaskAbandoned&) {
        detail::ReleasePort(exchange);
        outcome.result = -1;
        return outcome;
    }
    detail::ReleasePort(exchange);
    outcome.result = result;
    detail::ShowResultMessage(host, outcome.task, result);
    return outcome;
}

} // namespace corvina
