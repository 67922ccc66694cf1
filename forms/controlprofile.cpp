#include "controlprofile.h"

#include "formhost.h"
#include "formtable.h"
#include "linkpanel.h"
#include "view.h"

#include <QLabel>
#include <QWidget>

#include <initializer_list>

namespace corvina {

namespace {

using Flags = std::array<int, 6>;

void AddRows(std::vector<ControlProfile>& table, int action, const Flags& profiles,
             std::initializer_list<int> ids) {
    for (int id : ids)
        table.push_back({id, action, profiles});
}

std::vector<ControlProfile> AnalogTable() {
    std::vector<ControlProfile> t;
    AddRows(t, 1, {1, 1, 1, 1, 0, 1}, {1070, 1073});
    AddRows(t, 1, {1, 1, 1, 1, 0, 0}, {1074, 1077, 1078, 1081, 1082, 1085});
    AddRows(t, 1, {1, 0, 0, 0, 0, 0}, {1086, 1089, 1090, 1093, 1094, 1097, 1098, 1101});
    AddRows(t, 1, {0, 0, 0, 0, 0, 0}, {1087, 1091, 1095, 1099});
    AddRows(t, 3, {1, 1, 0, 0, 0, 0}, {1088, 1063, 1092, 1064, 1096, 1065, 1100, 1066});
    AddRows(t, 1, {1, 1, 1, 1, 0, 0}, {1102, 1062, 1104, 1106, 1113, 1127, 1069, 1134, 1141, 1148,
                                       1162, 1111, 1169, 1175, 1176, 1178, 1118, 1179, 1180, 1181});
    AddRows(t, 1, {1, 0, 0, 0, 0, 0},
            {1183, 1125, 1184, 1185, 1186, 1188, 1132, 1189, 1190, 1191, 1193, 1139, 1194, 1137,
             1195, 1197, 1146, 1198, 1144, 1199, 1201, 1153, 1202, 1151, 1203, 1205, 1160, 1206,
             1158, 1207, 1209, 1214, 1210, 1211, 1212, 1215, 1174, 1216, 1217, 1218});
    AddRows(t, 3, {1, 1, 0, 0, 0, 0},
            {1187, 1112, 1192, 1114, 1196, 1115, 1200, 1116, 1204, 1117, 1208, 1119, 1213, 1121,
             1219, 1122});
    return t;
}

std::vector<ControlProfile> DigitalTable() {
    std::vector<ControlProfile> t;
    AddRows(t, 1, {1, 1, 1, 1, 0, 1}, {1220, 1256, 1225});
    AddRows(t, 1, {1, 1, 1, 1, 0, 0}, {1226, 1258, 1231, 1012, 1259, 1235, 1236, 1022, 1021});
    AddRows(t, 1, {1, 0, 0, 0, 0, 0}, {1239, 1260, 1244, 1243, 1062, 1245, 1261, 1248, 1247, 1063,
                                       1249, 1262, 1252, 1251, 1064, 1253, 1263, 1257, 1066, 1065});
    return t;
}

std::vector<ControlProfile> InternalTable() {
    std::vector<ControlProfile> t;
    AddRows(t, 1, {0, 0, 0, 0, 0, 0}, {1052, 1059, 1066, 1108});
    AddRows(t, 1, {1, 1, 0, 1, 1, 1}, {1115, 1116, 1122, 1129});
    AddRows(t, 1, {0, 0, 0, 0, 0, 0}, {1123, 1130});
    AddRows(t, 1, {1, 1, 0, 1, 0, 1}, {1124, 1125, 1131});
    AddRows(t, 1, {1, 1, 0, 0, 0, 1}, {1132});
    AddRows(t, 1, {1, 1, 0, 0, 0, 0}, {1133, 1135, 1137});
    AddRows(t, 1, {0, 0, 0, 0, 0, 0}, {1134, 1136, 1138});
    return t;
}

std::vector<ControlProfile> OutputTable() {
    std::vector<ControlProfile> t;
    AddRows(t, 1, {1, 1, 1, 1, 0, 1},
            {1431, 1435, 1439, 1443, 1447, 1451, 1455, 1459, 1463, 1467, 1470,
             1473, 1476, 1479, 1482, 1484, 1485, 1486, 1487, 1488, 1072, 1489,
             1490, 1491, 1492, 1493, 1494, 1495, 1496, 1497, 1498, 1499});
    return t;
}

std::vector<ControlProfile> SystemTable() {
    std::vector<ControlProfile> t;
    AddRows(t, 2, {0, 0, 0, 0, 0, 1}, {1543});
    return t;
}

bool Available(const ControlProfile& row) {
    return row.Profiles[kActiveProfile - 1] == 1;
}

class ProfileApplier {
public:
    explicit ProfileApplier(CView* view) : m_view(view) {}
    void Show(int id, bool show) const {
        if (QWidget* w = m_view->GetDlgItem(id))
            w->setVisible(show);
    }
    void Enable(int id, bool enable) const {
        if (QWidget* w = m_view->GetDlgItem(id))
            w->setEnabled(enable);
    }
    void Hide(std::initializer_list<int> ids) const {
        for (int id : ids)
            Show(id, false);
    }
    void HideRange(int first, int last) const {
        for (int id = first; id <= last; ++id)
            Show(id, false);
    }
    void SetText(int id, const QString& text) const {
        if (auto* l = m_view->Item<QLabel>(id))
            l->setText(text);
    }
    // What each action does on a given form.
    enum class Rule { ShowAll, DigitalRule, InternalRule };
    void Table(int form, Rule rule) const {
        for (const auto& row : ControlProfileTable(form)) {
            const bool on = Available(row);
            switch (rule) {
            case Rule::ShowAll:
                Show(row.ControlId, on);
                break;
            case Rule::DigitalRule:
                if (row.Action == 2)
                    Enable(row.ControlId, on);
                else
                    Show(row.ControlId, on);
                break;
            case Rule::InternalRule:
                if (row.Action == 1 || row.Action == 2)
                    Enable(row.ControlId, on);
                if (row.Action == 1 || row.Action == 3)
                    Show(row.ControlId, on);
                break;
            }
        }
    }

private:
    CView* m_view;
};

} // namespace

const std::vector<ControlProfile>& ControlProfileTable(int formNumber) {
    static const std::vector<ControlProfile> none;
    static const std::vector<ControlProfile> analog = AnalogTable();
    static const std::vector<ControlProfile> digital = DigitalTable();
    static const std::vector<ControlProfile> internal = InternalTable();
    static const std::vector<ControlProfile> output = OutputTable();
    static const std::vector<ControlProfile> system = SystemTable();
    switch (formNumber) {
    case 1:
        return analog;
    case 2:
        return digital;
    case 4:
        return internal;
    case 5:
        return output;
    case 7:
        return system;
    default:
        return none;
    }
}

void ApplyControlProfile(CFormHost* host) {
    if (host)
        ApplyControlProfileTo(host->GetActiveView());
}

void ApplyControlProfileTo(CView* view) {
    const int nView = FormNumberOfView(view);
    if (nView == 0)
        return;
    using Rule = ProfileApplier::Rule;
    const ProfileApplier p(view);
    p.Show(IDC_LOGO, true);
    switch (nView) {
    case 1:
        p.Hide({1595, 1108});
        p.HideRange(1556, 1559);
        p.HideRange(1576, 1579);
        p.HideRange(1560, 1567);
        p.Table(1, Rule::ShowAll);
        break;
    case 2:
        p.Hide({1596, 1108});
        p.HideRange(1568, 1571);
        p.Table(2, Rule::DigitalRule);
        break;
    case 3:
        p.Hide({1597, 1108});
        break;
    case 4:
        p.SetText(1583, QStringLiteral("SENOK"));
        p.Hide({1585, 1587, 1589, 1586, 1588, 1590, 1395, 1396, 1397, 1078, 1079, 1080});
        p.Hide({1594, 1110});
        p.Table(4, Rule::InternalRule);
        break;
    case 5:
        p.Hide({1598, 1115});
        p.Table(5, Rule::InternalRule);
        break;
    case 6:
        p.Hide({1601, 1210});
        break;
    case 7:
        p.Hide({1599, 1108});
        p.Enable(1075, true);
        p.Show(1075, true);
        p.Enable(1535, false);
        p.Show(1535, true);
        p.Table(7, Rule::ShowAll);
        p.Hide({1584});
        break;
    case 8:
        p.Hide({1600, 1108});
        break;
    case 9:
        p.Hide({1549});
        break;
    default:
        break;
    }
}

} // namespace corvina
