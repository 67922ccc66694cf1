// The shell's resource tables (strings, menu, accelerators, toolbar, status
// bar panes), compiled into the program from resources/shell.json.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace corvina {

struct MenuItemResource {
    int command = 0; // 0: separator
    QString text;    // "&New\tCtrl+N": the text after the tab is the shortcut
    QString prompt;  // status bar prompt; after a line break, the toolbar tip
};

struct MenuResource {
    QString title;
    std::vector<MenuItemResource> items;
};

struct AcceleratorResource {
    QString key;
    int command = 0;
};

struct ToolbarButtonResource {
    int command = 0;
    QString label;
};

struct ShellResources {
    QString documentString; // resource 128: seven fields separated by '\n'
    QString appName;        // 57344
    QString idleText;       // 57345
    std::vector<MenuResource> menus;
    std::vector<AcceleratorResource> accelerators;
    QSize buttonSize;
    std::vector<ToolbarButtonResource> toolbar;
    QStringList statusPanes; // "" is the message pane

    // Field n (0-6) of the document string: 0 the main title, 3 the file filter
    // name, 4 the default extension.
    QString DocumentField(int n) const;
};

const ShellResources& LoadShellResources();

// Command identifiers the shell handles itself.
enum ShellCommand : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

} // namespace corvina
