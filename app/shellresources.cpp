#include "shellresources.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

namespace corvina {

namespace {

ShellResources Parse(const QJsonObject& o) {
    ShellResources r;
    const QJsonObject strings = o.value(QStringLiteral("strings")).toObject();
    r.documentString = strings.value(QStringLiteral("128")).toString();
    r.appName = strings.value(QStringLiteral("57344")).toString();
    r.idleText = strings.value(QStringLiteral("57345")).toString();
    for (const auto& mv : o.value(QStringLiteral("menu")).toArray()) {
        const QJsonObject m = mv.toObject();
        MenuResource menu;
        menu.title = m.value(QStringLiteral("title")).toString();
        for (const auto& iv : m.value(QStringLiteral("items")).toArray()) {
            const QJsonArray item = iv.toArray();
            MenuItemResource it;
            it.command = item.at(0).toInt();
            it.text = item.at(1).toString();
            it.prompt = item.at(2).toString();
            menu.items.push_back(it);
        }
        r.menus.push_back(std::move(menu));
    }
    for (const auto& av : o.value(QStringLiteral("accelerators")).toArray()) {
        const QJsonArray a = av.toArray();
        r.accelerators.push_back({a.at(0).toString(), a.at(1).toInt()});
    }
    const QJsonObject tb = o.value(QStringLiteral("toolbar")).toObject();
    const QJsonArray size = tb.value(QStringLiteral("buttonSize")).toArray();
    r.buttonSize = QSize(size.at(0).toInt(60), size.at(1).toInt(15));
    for (const auto& bv : tb.value(QStringLiteral("buttons")).toArray()) {
        const QJsonArray b = bv.toArray();
        r.toolbar.push_back({b.at(0).toInt(), b.at(1).toString()});
    }
    for (const auto& pv : o.value(QStringLiteral("statusbar")).toArray())
        r.statusPanes << pv.toString();
    return r;
}

} // namespace

QString ShellResources::DocumentField(int n) const {
    return documentString.split(u'\n').value(n);
}

const ShellResources& LoadShellResources() {
    static const ShellResources resources = [] {
        QFile f(QStringLiteral(":/shell.json"));
        if (!f.open(QIODevice::ReadOnly)) {
            qWarning("shell resources are not in the program");
            return ShellResources{};
        }
        return Parse(QJsonDocument::fromJson(f.readAll()).object());
    }();
    return resources;
}

} // namespace corvina
