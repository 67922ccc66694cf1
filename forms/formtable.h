// The nine forms: number, class, template, toolbar command and button label.
#pragma once

#include <QString>

#include <array>

namespace corvina {

class CView;

struct FormInfo {
    int number;            // 1-9; also a hidden form's child identifier
    const char* className; // the view class, as its meta-object names it
    int templateId;
    int command; // toolbar command
    const char* label;
};

inline constexpr int kFormCount = 9;
inline constexpr int kAnalogForm = 1;
inline constexpr int kLiveForm = 9;
// The child identifier of the visible form: the frame lays it out in its client area.
inline constexpr int AFX_IDW_PANE_FIRST = 0xE900;

const std::array<FormInfo, kFormCount>& FormTable();
// Entry of form n (1-9), or null.
const FormInfo* FindForm(int number);
// Form number from a toolbar command, or 0.
int FormFromCommand(int command);
// Form number of a view from its class, or 0 when it is none of the nine.
int FormNumberOfView(const CView* view);

} // namespace corvina
