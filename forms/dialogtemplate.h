// Dialog templates: the layout of a form or dialog as data.
//
// A template is a JSON table compiled into the program (":/templates/<id>.json").
// Every control row reads [id, kind, style, rect, caption, items]:
//   id       decimal identifier, -1 for a control nobody looks up; "$name" takes
//            the identifier from the template's "linkpanel" map (shared parts)
//   kind     group, static, edit, combo, check, button, progress, picture,
//            icon, listview
//   style    blank-separated words: hidden disabled readonly sort dropdown
//            droplist vscroll default left right center border smooth ...
//            ownerdata (a listview whose form supplies the model)
//   rect     x, y, width, height in dialog units
//   caption  text; for a picture or icon "#<resource id>"
//   items    the initial item list of a combo
// A template may name one shared part in "include"; its controls come first.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

class QWidget;

namespace corvina {

struct ControlTemplate {
    int id = -1;
    QString kind;
    QStringList style;
    QRect rect; // dialog units
    QString caption;
    QStringList items;

    bool HasStyle(const QString& word) const { return style.contains(word); }
};

struct DialogTemplate {
    int id = 0;
    QSize size; // dialog units
    QString caption;
    QString fontFamily;
    int fontPointSize = 8;
    std::vector<ControlTemplate> controls;
};

// Parses a template from its JSON text; shared parts are looked up with
// LoadDialogTemplate. Returns nothing and sets *error when the table is malformed.
std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, QString* error = nullptr);

// The compiled-in template with this resource identifier (cached). An unknown
// identifier or a malformed table is a build fault: it yields an empty template
// and a warning, never a crash.
const DialogTemplate& LoadDialogTemplate(int id);
const DialogTemplate& LoadDialogTemplate(const QString& name);

// Dialog units are measured in the dialog font: a horizontal unit is a quarter of
// the average character width, a vertical unit an eighth of the character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int du) const;
    int Y(int du) const;
    QRect Rect(const QRect& du) const;
    QSize Size(const QSize& du) const;

private:
    int m_baseX = 6;
    int m_baseY = 13;
};

// The font a template asks for, mapped to what the platform has.
QFont DialogFont(const DialogTemplate& tmpl);

// A bitmap or icon resource ("#139") as a pixmap path inside the program.
QString BitmapResourcePath(const QString& caption);

// Creates the template's controls as children of parent, at their pixel
// positions, in template order. Every control with an identifier carries it in
// decimal as its object name and is entered in *byId.
void CreateTemplateControls(const DialogTemplate& tmpl, QWidget* parent,
                            std::map<int, QWidget*>* byId);

// One control, for templates built piecewise.
QWidget* CreateTemplateControl(const ControlTemplate& ctl, const DialogUnits& du, QWidget* parent);

} // namespace corvina
