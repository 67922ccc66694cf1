#include "dialogtemplate.h"

#include "controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QWidget>
#include <QtDebug>

#include <mutex>

namespace corvina {

namespace {

bool ReadRect(const QJsonValue& v, QRect* out) {
    const QJsonArray a = v.toArray();
    if (a.size() != 4)
        return false;
    for (const auto& n : a)
        if (!n.isDouble())
            return false;
    *out = QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
    return true;
}

bool ReadControls(const QJsonArray& rows, const QJsonObject& idMap,
                  std::vector<ControlTemplate>* out, QString* error) {
    int rowNo = 0;
    for (const auto& rv : rows) {
        ++rowNo;
        const QJsonArray r = rv.toArray();
        if (r.size() != 6) {
            *error = QStringLiteral("row %1: six columns expected").arg(rowNo);
            return false;
        }
        ControlTemplate c;
        if (r[0].isString()) {
            const QString name = r[0].toString();
            if (!name.startsWith(u'$') || !idMap.value(name.mid(1)).isDouble()) {
                *error = QStringLiteral("row %1: unknown identifier %2").arg(rowNo).arg(name);
                return false;
            }
            c.id = idMap.value(name.mid(1)).toInt();
        } else if (r[0].isDouble()) {
            c.id = r[0].toInt();
        } else {
            *error = QStringLiteral("row %1: bad identifier").arg(rowNo);
            return false;
        }
        c.kind = r[1].toString();
        c.style = r[2].toString().split(u' ', Qt::SkipEmptyParts);
        if (c.kind.isEmpty() || !ReadRect(r[3], &c.rect)) {
            *error = QStringLiteral("row %1: bad kind or rectangle").arg(rowNo);
            return false;
        }
        c.caption = r[4].toString();
        for (const auto& item : r[5].toArray())
            c.items << item.toString();
        out->push_back(std::move(c));
    }
    return true;
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, QString* error) {
    QString dummy;
    QString& err = error ? *error : dummy;
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (!doc.isObject()) {
        err = pe.errorString();
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    DialogTemplate t;
    t.id = o.value(QStringLiteral("id")).toInt();
    const QJsonArray size = o.value(QStringLiteral("size")).toArray();
    t.size = size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
    t.caption = o.value(QStringLiteral("caption")).toString();
    const QJsonArray font = o.value(QStringLiteral("font")).toArray();
    if (font.size() == 2) {
        t.fontFamily = font[0].toString();
        t.fontPointSize = font[1].toInt(8);
    }
    const QJsonObject idMap = o.value(QStringLiteral("linkpanel")).toObject();
    const QString include = o.value(QStringLiteral("include")).toString();
    if (!include.isEmpty()) {
        QFile f(QStringLiteral(":/templates/%1.json").arg(include));
        if (!f.open(QIODevice::ReadOnly)) {
            err = QStringLiteral("missing shared part %1").arg(include);
            return std::nullopt;
        }
        const QJsonObject part = QJsonDocument::fromJson(f.readAll()).object();
        if (!ReadControls(part.value(QStringLiteral("controls")).toArray(), idMap, &t.controls,
                          &err))
            return std::nullopt;
    }
    if (!ReadControls(o.value(QStringLiteral("controls")).toArray(), idMap, &t.controls, &err))
        return std::nullopt;
    return t;
}

const DialogTemplate& LoadDialogTemplate(const QString& name) {
    static std::mutex lock;
    static std::map<QString, DialogTemplate> cache;
    std::lock_guard guard(lock);
    auto it = cache.find(name);
    if (it != cache.end())
        return it->second;
    DialogTemplate t;
    QFile f(QStringLiteral(":/templates/%1.json").arg(name));
    if (f.open(QIODevice::ReadOnly)) {
        QString error;
        if (auto parsed = ParseDialogTemplate(f.readAll(), &error))
            t = std::move(*parsed);
        else
            qWarning("dialog template %s: %s", qPrintable(name), qPrintable(error));
    } else {
        qWarning("dialog template %s is not in the program", qPrintable(name));
    }
    return cache.emplace(name, std::move(t)).first->second;
}

const DialogTemplate& LoadDialogTemplate(int id) {
    return LoadDialogTemplate(QString::number(id));
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = fm.horizontalAdvance(alphabet);
    m_baseX = qMax(1, (width / 26 + 1) / 2);
    m_baseY = qMax(1, fm.height());
}

int DialogUnits::X(int du) const {
    return (du * m_baseX + 2) / 4;
}
int DialogUnits::Y(int du) const {
    return (du * m_baseY + 4) / 8;
}

QRect DialogUnits::Rect(const QRect& du) const {
    return QRect(X(du.x()), Y(du.y()), X(du.width()), Y(du.height()));
}

QSize DialogUnits::Size(const QSize& du) const {
    return QSize(X(du.width()), Y(du.height()));
}

QFont DialogFont(const DialogTemplate& tmpl) {
    // The template's face is a Windows alias; the layout was made for its
    // narrow faces, so the first narrow face the platform has stands in for it.
    static const QString family = [] {
        const QStringList candidates{QStringLiteral("MS Shell Dlg"),
                                     QStringLiteral("Tahoma"),
                                     QStringLiteral("Microsoft Sans Serif"),
                                     QStringLiteral("Liberation Sans"),
                                     QStringLiteral("Arial"),
                                     QStringLiteral("DejaVu Sans Condensed")};
        for (const auto& name : candidates)
            if (QFontDatabase::hasFamily(name))
                return name;
        return QApplication::font().family();
    }();
    QFont font(family);
    font.setPointSize(tmpl.fontPointSize > 0 ? tmpl.fontPointSize : 8);
    return font;
}

QString BitmapResourcePath(const QString& caption) {
    if (!caption.startsWith(u'#'))
        return {};
    return QStringLiteral(":/bitmaps/%1.png").arg(caption.mid(1));
}

QWidget* CreateTemplateControl(const ControlTemplate& c, const DialogUnits& du, QWidget* parent) {
    QWidget* w = nullptr;
    QRect r = du.Rect(c.rect);
    if (c.kind == u"group") {
        auto* g = new QGroupBox(c.caption, parent);
        w = g;
    } else if (c.kind == u"static") {
        auto* l = new QLabel(c.caption, parent);
        if (c.HasStyle(QStringLiteral("right")))
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        else if (c.HasStyle(QStringLiteral("center")))
            l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        else
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // The rectangle was measured for another face: never cut the text.
        r.setHeight(qMax(r.height(), l->sizeHint().height()));
        if (l->alignment() & Qt::AlignLeft)
            r.setWidth(qMax(r.width(), l->sizeHint().width()));
        w = l;
    } else if (c.kind == u"edit") {
        auto* e = new QLineEdit(parent);
        e->setReadOnly(c.HasStyle(QStringLiteral("readonly")));
        e->setText(c.caption);
        w = e;
    } else if (c.kind == u"combo") {
        auto* cb = new QComboBox(parent);
        // "dropdown" has an edit part, "droplist" is a pure list.
        cb->setEditable(!c.HasStyle(QStringLiteral("droplist")));
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setProperty(kSortedProperty, c.HasStyle(QStringLiteral("sort")));
        cb->setMaxVisibleItems(10);
        for (const auto& item : c.items)
            ComboAddString(cb, item);
        if (cb->isEditable())
            cb->setEditText(QString());
        // A combo's template height includes its drop-down list; the closed
        // box is as tall as the platform draws it.
        r.setHeight(cb->sizeHint().height());
        w = cb;
    } else if (c.kind == u"check") {
        auto* cb = new QCheckBox(c.caption, parent);
        if (c.caption.isEmpty())
            r.setSize(r.size().expandedTo(cb->sizeHint()));
        w = cb;
    } else if (c.kind == u"button") {
        auto* b = new QPushButton(c.caption, parent);
        b->setDefault(c.HasStyle(QStringLiteral("default")));
        b->setAutoDefault(false);
        w = b;
    } else if (c.kind == u"progress") {
        auto* p = new QProgressBar(parent);
        p->setRange(0, 100);
        p->setValue(0);
        p->setTextVisible(false);
        w = p;
    } else if (c.kind == u"picture" || c.kind == u"icon") {
        auto* l = new QLabel(parent);
        QPixmap pm(BitmapResourcePath(c.caption));
        if (!pm.isNull()) {
            if (c.kind == u"icon")
                pm = pm.scaled(r.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
            l->setPixmap(pm);
            // A picture control takes the size of its bitmap.
            r.setSize(pm.size());
        }
        w = l;
    } else if (c.kind == u"listview") {
        // "ownerdata": the form keeps the rows itself and gives the list its
        // own model, so a list that grows without end stays cheap.
        QTableView* t = c.HasStyle(QStringLiteral("ownerdata")) ? new QTableView(parent)
                                                                : new QTableWidget(parent);
        t->setShowGrid(c.HasStyle(QStringLiteral("grid")));
        t->verticalHeader()->hide();
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        w = t;
    } else {
        qWarning("dialog template: unknown control kind %s", qPrintable(c.kind));
        w = new QWidget(parent);
    }
    w->setGeometry(r);
    if (c.id >= 0)
        w->setObjectName(QString::number(c.id));
    if (c.HasStyle(QStringLiteral("disabled")))
        w->setEnabled(false);
    if (c.HasStyle(QStringLiteral("hidden")))
        w->setVisible(false);
    else
        w->setVisible(true);
    return w;
}

void CreateTemplateControls(const DialogTemplate& tmpl, QWidget* parent,
                            std::map<int, QWidget*>* byId) {
    const DialogUnits du(parent->font());
    std::vector<QWidget*> groups;
    for (const auto& c : tmpl.controls) {
        QWidget* w = CreateTemplateControl(c, du, parent);
        if (c.kind == u"group")
            groups.push_back(w);
        if (c.id >= 0 && byId)
            byId->emplace(c.id, w); // the first control of an identifier wins
    }
    // Group boxes frame the controls drawn over them.
    for (auto* g : groups)
        g->lower();
}

} // namespace corvina
