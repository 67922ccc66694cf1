#include "formtable.h"

#include "view.h"

#include <cstring>

namespace corvina {

const std::array<FormInfo, kFormCount>& FormTable() {
    static const std::array<FormInfo, kFormCount> table{{
        {1, "corvina::CAnalogView", 130, 32771, "Analog"},
        {2, "corvina::CDigitalView", 131, 32772, "Digital"},
        {3, "corvina::CSerialView", 132, 32773, "Serial"},
        {4, "corvina::CInternalView", 133, 32775, "Internal"},
        {5, "corvina::COutputView", 134, 32776, "Output"},
        {6, "corvina::CEwsView", 135, 32777, "EWS"},
        {7, "corvina::CSystemView", 136, 32778, "System"},
        {8, "corvina::CModemView", 137, 32779, "Modem"},
        {9, "corvina::CLiveView", 138, 32774, "LiveView"},
    }};
    return table;
}

const FormInfo* FindForm(int number) {
    for (const auto& f : FormTable())
        if (f.number == number)
            return &f;
    return nullptr;
}

int FormFromCommand(int command) {
    for (const auto& f : FormTable())
        if (f.command == command)
            return f.number;
    return 0;
}

int FormNumberOfView(const CView* view) {
    if (!view)
        return 0;
    const char* name = view->metaObject()->className();
    for (const auto& f : FormTable())
        if (std::strcmp(f.className, name) == 0)
            return f.number;
    return 0;
}

} // namespace corvina
