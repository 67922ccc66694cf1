// What the tests of the outputs, early-warning, system and modem forms share:
// a host that counts task starts, and message boxes recorded instead of shown.
#pragma once

#include "formhost.h"
#include "messagebox.h"
#include "sensorcatalogue.h"

#include <QBuffer>
#include <QCoreApplication>

#include <vector>

namespace corvina::testing {

class FieldFormHost : public CFormHost {
public:
    FieldFormHost() { ResetToDefaults(cfg); }
    LoggerConfig cfg;
    CView* active = nullptr;
    int sends = 0;
    int retrieves = 0;
    int defaults = 0;
    LoggerConfig& Config() override { return cfg; }
    CView* GetActiveView() const override { return active; }
    void StartRetrieveTask() override { ++retrieves; }
    void StartSendTask() override { ++sends; }
    void StartDefaultTask() override { ++defaults; }

    // Fills the sensor catalogue from the text of a "sensor.ini".
    void LoadCatalogue(const QByteArray& text) {
        ClearSensorCatalogue(cfg);
        QBuffer buffer;
        buffer.setData(text);
        buffer.open(QIODevice::ReadOnly);
        BuildSensorCatalogue(cfg, buffer);
    }
};

// Records every message box from construction to destruction.
class MessageRecorder {
public:
    MessageRecorder() {
        QCoreApplication::setApplicationName(QStringLiteral("CorvinaSetup"));
        SetMessageHook([this](const MessageRecord& m) { messages.push_back(m); });
    }
    ~MessageRecorder() { SetMessageHook(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<MessageRecord> messages;
};

} // namespace corvina::testing
