// Control profiles: which controls of the active form this logger variant
// shows, hides, enables or disables.
#pragma once

#include <array>
#include <vector>

namespace corvina {

class CFormHost;
class CView;

struct ControlProfile {
    int ControlId;
    int Action;                  // 1, 2 or 3; what each means depends on the form
    std::array<int, 6> Profiles; // 1 = available in device profile 1-6
};

// The device profile in force.
inline constexpr int kActiveProfile = 4;

// The profile table of form n, without the closing row; empty for the forms
// that have none.
const std::vector<ControlProfile>& ControlProfileTable(int formNumber);

// Applies the profile to the host's active form, whichever form calls it.
void ApplyControlProfile(CFormHost* host);
// Applies the profile to view, as form number FormNumberOfView(view); nothing
// for a view that is none of the nine forms.
void ApplyControlProfileTo(CView* view);

} // namespace corvina
