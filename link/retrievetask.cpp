// Reading the configuration out of the logger.
#include "configparser.h"
#include "taskcommon.h"

namespace corvina {

namespace {

struct Query {
    const char* command;
    const char* expected;
    int readLimit;
    bool sleepBeforeParsing;
    int progressAfter;
};

// The driver list and the channel answers are long; the limits give the
// logger the time it needs to write them out.
const Query kQueries[] = {
    {"?\r", "OK", 60, false, 20},
    {"SerialDriver?\r", "\r\nOK", 550, false, 40},
    {"Config1?\r", "\r\nOK", 350, false, 47},
    {"Config2?\r", "\r\nOK", 350, false, 54},
    {"Config3?\r", "\r\nOK", 350, false, 59},
    {"Config4?\r", "\r\nOK", 350, false, 66},
    {"Config5?\r", "\r\nOK", 350, false, 70},
    {"EarlyWarning?\r", "\r\nOK", 350, false, 75},
    {"Modem?\r", "\r\nOK", 70, true, 80},
    {"System?\r", "\r\nOK", 70, true, 90},
};
constexpr size_t kDriverQuery = 1;

constexpr detail::HandshakeNumbers kHandshake{100, 150, 20, 150, 10};

} // namespace

TaskOutcome RetrieveThread(const LoggerConfig& start, CTaskHost& host, CCommandExchange& exchange) {
    TaskOutcome outcome;
    outcome.task = LoggerTaskKind::Retrieve;
    outcome.config = start;
    LoggerConfig& cfg = outcome.config;
    WriteRetrieveStartValues(cfg);
    outcome.result = detail::RunTaskBody(outcome.task, exchange, host, [&] {
        host.SetProgress(3);
        exchange.OpenTaskPort(cfg.Link.PortName, cfg.Link.PortSpeed);
        host.SetProgress(5);
        int result = detail::ServiceHandshake(exchange, host, kHandshake);
        host.SetProgress(10);
        exchange.Sleep(100);
        CReceiveBuffer& answer = exchange.ReceiveBuffer();
        answer.Clear(3000);

        // Every answer is parsed, even after a failure: then it holds what
        // came before the logger fell silent, or nothing.
        for (size_t q = 0; q < std::size(kQueries); ++q) {
            const Query& query = kQueries[q];
            if (result == kResultOk)
                result = exchange.SendAndWait(query.command, query.expected, query.readLimit);
            if (query.sleepBeforeParsing)
                exchange.Sleep(100);
            if (q == kDriverQuery)
                FillSerialDriverTable(cfg, answer.Text());
            ParseConfigScript(cfg, answer.Text());
            host.SetProgress(query.progressAfter);
            answer.Clear(3000);
            if (q + 1 < std::size(kQueries))
                exchange.Sleep(100);
        }

        host.SetProgress(95);
        detail::EndServiceSession(exchange, host, result);
        return result;
    });
    return outcome;
}

} // namespace corvina
