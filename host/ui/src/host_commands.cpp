#include "hostui/host_commands.h"

#include "acdb/database.h"
#include "acdb/dictionary.h"
#include "acdb/table.h"
#include "acdocman.h"
#include "aced.h"
#include "acutads.h"
#include "cadhost/cell_selection.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/menu_groups.h"
#include "cadhost/system_variables.h"
#include "cadhost/ui_services.h"
#include "hostui/drawing_view.h"
#include "hostui/frame_window.h"
#include "hostui/insert_table_dialog.h"
#include "hostui/qt_ui_services.h"
#include "hostui/table_creation.h"
#include "hostui/table_style_creation.h"

#include <QFileInfo>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace hostui {

namespace {

HostCommandHooks g_hooks;

// The defaults the -TABLE prompts show; they are fixed, as the prompts are.
const TableShape kTableDefaults;

AcApDocument* activeDocumentOrSay() {
    AcApDocument* doc = acDocManager->activeDocument();
    if (!doc)
        acutPrintf("\nNo drawing is open.");
    return doc;
}

// Prints a failure and tells a running script about it.
void reportFailure(const std::string& message) {
    acutPrintf("\n%s", message.c_str());
    if (g_hooks.commandFailed)
        g_hooks.commandFailed(message);
}

bool typedFileNames() {
    if (g_hooks.scriptRunning && g_hooks.scriptRunning())
        return true;
    return cadhost::SystemVariables::instance().getInt("FILEDIA", 1) == 0;
}

std::string withExtension(std::string name, const std::string& extension) {
    if (QFileInfo(QString::fromStdString(name)).suffix().isEmpty())
        name += "." + extension;
    return name;
}

// A file name from the command line or a dialog; nothing when cancelled.
std::optional<std::string> askFileName(const std::string& prompt, const std::string& title,
                                       const std::string& defaultName, bool save,
                                       const std::string& extension) {
    bool dialog = !typedFileNames();
    if (!dialog) {
        char buffer[1024] = {};
        const int rc = acedGetString(1, prompt.c_str(), buffer, sizeof buffer);
        if (rc == RTNONE && !defaultName.empty())
            return defaultName;
        if (rc != RTNORM)
            return std::nullopt;
        std::string typed = buffer;
        while (!typed.empty() && std::isspace(static_cast<unsigned char>(typed.back())))
            typed.pop_back();
        if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"')
            typed = typed.substr(1, typed.size() - 2);
        if (typed == "~")
            dialog = true;
        else if (typed.empty())
            return defaultName.empty() ? std::nullopt : std::optional<std::string>(defaultName);
        else
            return withExtension(typed, extension);
    }
    cadhost::FileDialogRequest request;
    request.title = title;
    request.defaultName = defaultName;
    request.extensions = {extension};
    request.save = save;
    auto chosen = cadhost::UiServices::fileDialogs().chooseFile(request);
    if (!chosen || chosen->empty())
        return std::nullopt;
    return withExtension(*chosen, extension);
}

void cmdNew() {
    acDocManager->newDocument();
}

void cmdOpen() {
    auto name = askFileName("\nEnter name of drawing to open: ", "Select File", "", false, "dxf");
    if (!name)
        return;
    std::string error;
    if (!acDocManager->openDocument(name->c_str(), &error))
        reportFailure(error.empty() ? "Cannot open " + *name + "." : error);
}

void saveAs(AcApDocument* doc) {
    const std::string current = doc->fileName();
    const std::string prompt =
        current.empty() ? "\nSave drawing as: " : "\nSave drawing as <" + current + ">: ";
    auto name = askFileName(prompt, "Save Drawing As", current, true, "dxf");
    if (!name)
        return;
    std::string error;
    if (acDocManager->saveDocumentAs(doc, name->c_str(), &error) != Acad::eOk)
        reportFailure("Cannot save " + *name + ": " + error);
    else
        acutPrintf("\nSaved %s.", name->c_str());
}

void cmdSave() {
    AcApDocument* doc = activeDocumentOrSay();
    if (!doc)
        return;
    if (std::string(doc->fileName()).empty()) {
        saveAs(doc);
        return;
    }
    std::string error;
    if (acDocManager->saveDocument(doc, &error) != Acad::eOk)
        reportFailure(std::string("Cannot save ") + doc->fileName() + ": " + error);
    else
        acutPrintf("\nSaved %s.", doc->fileName());
}

void cmdSaveAs() {
    if (AcApDocument* doc = activeDocumentOrSay())
        saveAs(doc);
}

void cmdClose() {
    if (AcApDocument* doc = activeDocumentOrSay())
        acDocManager->closeDocument(doc);
}

// Asks a positive number until one comes; false when cancelled.
bool askPositiveInt(const char* prompt, int fallback, int maximum, int& out,
                    const std::function<std::string()>& overMaximum = {}) {
    for (;;) {
        int value = 0;
        const int rc = acedGetInt(prompt, &value);
        if (rc == RTNONE) {
            out = fallback;
            return true;
        }
        if (rc != RTNORM)
            return false;
        if (value >= 1 && value <= maximum) {
            out = value;
            return true;
        }
        if (value < 1)
            acutPrintf("\nValue must be positive and nonzero.");
        else if (overMaximum)
            acutPrintf("\n%s", overMaximum().c_str());
        else
            acutPrintf("\nValue must be at most %d.", maximum);
    }
}

bool askPositiveReal(const char* prompt, double fallback, double& out) {
    for (;;) {
        ads_real value = 0;
        const int rc = acedGetReal(prompt, &value);
        if (rc == RTNONE) {
            out = fallback;
            return true;
        }
        if (rc != RTNORM)
            return false;
        if (std::isfinite(value) && value > 0) {
            out = value;
            return true;
        }
        acutPrintf("\nValue must be positive and nonzero.");
    }
}

void placeTable(AcApDocument* doc, const TableShape& shape) {
    ads_point picked = {0, 0, 0};
    if (acedGetPoint(nullptr, "\nSpecify insertion point: ", picked) != RTNORM)
        return;
    const bool locked = acDocManager->lockDocument(doc, AcAp::kWrite) == Acad::eOk;
    AcDbObjectId id;
    const Acad::ErrorStatus es =
        createTable(doc->database(), shape, AcGePoint3d(picked[0], picked[1], picked[2]), id);
    if (locked)
        acDocManager->unlockDocument(doc);
    if (es != Acad::eOk)
        reportFailure(std::string("Cannot create the table (") + acadErrorStatusText(es) + ").");
}

void cmdTableOnCommandLine() {
    AcApDocument* doc = activeDocumentOrSay();
    if (!doc)
        return;
    TableShape shape;
    if (!askPositiveInt("\nNumber of columns <5>: ", kTableDefaults.columns, kMaxTableColumns,
                        shape.columns) ||
        !askPositiveInt("\nNumber of rows <4>: ", kTableDefaults.rows,
                        maxTableRowsFor(shape.columns), shape.rows,
                        [&] {
                            return maxTableRowsFor(shape.columns) < kMaxTableRows
                                       ? tooManyCellsMessage(shape.columns)
                                       : "Value must be at most " + std::to_string(kMaxTableRows) +
                                             ".";
                        }) ||
        !askPositiveReal("\nColumn width <2.5>: ", kTableDefaults.columnWidth, shape.columnWidth) ||
        !askPositiveReal("\nRow height <0.75>: ", kTableDefaults.rowHeight, shape.rowHeight))
        return;
    placeTable(doc, shape);
}

void cmdTableDialog() {
    AcApDocument* doc = activeDocumentOrSay();
    if (!doc)
        return;
    InsertTableDialog dialog(kTableDefaults, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    placeTable(doc, dialog.shape());
}

// -TABLESTYLE: a named table style from prompts, so that drawings can hold
// several styles. Enter at the name, or Esc anywhere, creates nothing.
void cmdTableStyleOnCommandLine() {
    AcApDocument* doc = activeDocumentOrSay();
    if (!doc)
        return;
    TableStyleRequest request;
    for (;;) {
        char name[512] = {};
        if (acedGetString(1, "\nTable style name: ", name, sizeof name) != RTNORM || !*name)
            return;
        request.name = name;
        if (auto why = validateTableStyle(request)) {
            acutPrintf("\n%s", why->c_str());
            continue;
        }
        AcDbDictionary* styles = nullptr;
        bool taken = false;
        if (doc->database()->getTableStyleDictionary(styles, AcDb::kForRead) == Acad::eOk) {
            taken = styles->has(request.name);
            styles->close();
        }
        if (!taken)
            break;
        acutPrintf("\nA table style named \"%s\" already exists.", request.name.c_str());
    }
    if (!askPositiveReal("\nText height of data cells <0.18>: ", request.textHeight,
                         request.textHeight))
        return;
    for (;;) {
        int index = 0;
        const int rc =
            acedGetInt("\nText color of data cells (0 ByBlock - 256 ByLayer) <0>: ", &index);
        if (rc == RTNONE)
            break;
        if (rc != RTNORM)
            return;
        if (index >= 0 && index <= 256) {
            request.textColorIndex = index;
            break;
        }
        acutPrintf("\nValue must be from 0 to 256.");
    }
    for (;;) {
        int index = 0;
        const int rc =
            acedGetInt("\nFill color of data cells (1-255, Enter for none) <none>: ", &index);
        if (rc == RTNONE)
            break;
        if (rc != RTNORM)
            return;
        if (index >= 1 && index <= 255) {
            request.fillColorIndex = index;
            break;
        }
        acutPrintf("\nValue must be from 1 to 255.");
    }
    acedInitGet(0, "TL TC TR ML MC MR BL BC BR");
    char keyword[16] = {};
    const int rc = acedGetKword(
        "\nAlignment of data cells [TL/TC/TR/ML/MC/MR/BL/BC/BR] <TC>: ", keyword, sizeof keyword);
    if (rc != RTNORM && rc != RTNONE)
        return;
    if (rc == RTNORM)
        if (auto alignment = alignmentFromKeyword(keyword))
            request.alignment = *alignment;
    const bool locked = acDocManager->lockDocument(doc, AcAp::kWrite) == Acad::eOk;
    AcDbObjectId id;
    const Acad::ErrorStatus es = createTableStyle(doc->database(), request, id);
    if (locked)
        acDocManager->unlockDocument(doc);
    if (es != Acad::eOk)
        reportFailure("Cannot create the table style (" + std::string(acadErrorStatusText(es)) +
                      ").");
    else
        acutPrintf("\nTable style \"%s\" created.", request.name.c_str());
}

// TABLEDIT: the text of one cell, picked in the drawing.
void cmdTableEdit() {
    AcApDocument* doc = activeDocumentOrSay();
    if (!doc)
        return;
    ads_point picked = {0, 0, 0};
    if (acedGetPoint(nullptr, "\nPick a table cell: ", picked) != RTNORM)
        return;
    const AcGePoint3d at(picked[0], picked[1], picked[2]);
    int row = 0, col = 0;
    const auto tableId = cadhost::CellSelection::instance().tableAt(at, &row, &col);
    if (!tableId) {
        acutPrintf("\nNo table cell there.");
        return;
    }
    char text[1024] = {};
    const int rc = acedGetString(1, "\nEnter cell text: ", text, sizeof text);
    if (rc != RTNORM && rc != RTNONE)
        return;
    const bool locked = acDocManager->lockDocument(doc, AcAp::kWrite) == Acad::eOk;
    {
        AcDbObjectPointer<AcDbTable> table(*tableId, AcDb::kForWrite);
        if (!table)
            acutPrintf("\nThe table cannot be edited (%s).",
                       acadErrorStatusText(table.openStatus()));
        else
            table->setTextString(row, col, text);
    }
    if (locked)
        acDocManager->unlockDocument(doc);
}

void cmdProperties() {
    if (FrameWindow* frame = FrameWindow::instance())
        frame->showProperties();
}

void cmdZoom() {
    FrameWindow* frame = FrameWindow::instance();
    acedInitGet(0, "Extents In Out Window");
    char keyword[512] = {};
    const int rc =
        acedGetKword("\nSpecify zoom option [Extents/In/Out/Window] <Extents>: ", keyword);
    if (rc != RTNORM && rc != RTNONE)
        return;
    if (!frame)
        return;
    const std::string choice = rc == RTNONE ? "Extents" : keyword;
    if (choice == "Window") {
        ads_point first{}, second{};
        if (acedGetPoint(nullptr, "\nSpecify first corner: ", first) != RTNORM ||
            acedGetCorner(first, "\nSpecify opposite corner: ", second) != RTNORM)
            return;
        if (!frame->drawingView()->zoomWindow(AcGePoint3d(first[0], first[1], 0),
                                              AcGePoint3d(second[0], second[1], 0)))
            acutPrintf("\nThe window has no area.");
    } else if (choice == "In")
        frame->drawingView()->zoomBy(2.0);
    else if (choice == "Out")
        frame->drawingView()->zoomBy(0.5);
    else
        frame->drawingView()->zoomExtents();
}

void cmdAppload() {
    auto path =
        askFileName("\nEnter name of application to load: ", "Load Application", "", false, "arx");
    if (path)
        acedArxLoad(path->c_str());
}

void cmdScript() {
    auto path = askFileName("\nEnter script file name: ", "Select Script File", "", false, "scr");
    if (!path)
        return;
    std::string error;
    if (!g_hooks.runScript) {
        acutPrintf("\nScripts cannot run in this host.");
        return;
    }
    if (!g_hooks.runScript(*path, error))
        acutPrintf("\n%s", error.c_str());
}

// Called by name from menu LISP ("(command \"_.menuload\" path)"), so the file name is read
// from the command line when input for it is already waiting.
void cmdMenuLoad() {
    const bool queued = cadhost::InputBroker::instance().hasItem();
    std::optional<std::string> path;
    if (queued) {
        char buffer[1024] = {};
        if (acedGetString(1, "\nEnter name of menu file to load: ", buffer, sizeof buffer) !=
            RTNORM)
            return;
        std::string typed = buffer;
        if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"')
            typed = typed.substr(1, typed.size() - 2);
        path = withExtension(typed, "mns");
    } else {
        path = askFileName("\nEnter name of menu file to load: ", "Select Menu File", "", false,
                           "mns");
    }
    if (!path)
        return;
    const auto result = cadhost::MenuGroups::instance().load(*path);
    if (!result.message.empty())
        acutPrintf("\n%s", result.message.c_str());
    else if (result.ok)
        acutPrintf("\nMenu loaded: %s", path->c_str());
}

// Undoes (or redoes) up to count steps of the active drawing, naming each
// one, then shows the drawing again with the cell selection still valid.
void stepHistory(bool back, int count) {
    AcApDocument* doc = activeDocumentOrSay();
    AcDbUndoHistory* history =
        doc ? cadhost::DocumentManager::instance().undoHistory(doc) : nullptr;
    if (!history)
        return;
    int done = 0;
    for (; done < count; ++done) {
        const std::string name = back ? history->undoName() : history->redoName();
        const Acad::ErrorStatus es = back ? history->undo() : history->redo();
        if (es == Acad::eNotApplicable)
            break;
        if (es != Acad::eOk) {
            acutPrintf("\nCannot %s while objects are open.", back ? "undo" : "redo");
            break;
        }
        acutPrintf("\n%s %s", back ? "Undo" : "Redo", name.empty() ? "Edit" : name.c_str());
    }
    if (done == 0)
        acutPrintf(back ? "\nEverything has been undone." : "\nNothing to redo.");
    if (done > 0) {
        // Showing the selection again is no edit of its own.
        AcDbDatabase* db = doc->database();
        db->setUndoHistory(nullptr);
        cadhost::CellSelection::instance().revalidate();
        db->setUndoHistory(history);
        if (FrameWindow* frame = FrameWindow::instance())
            frame->drawingView()->refresh();
    }
}

void cmdU() {
    stepHistory(true, 1);
}

void cmdRedo() {
    stepHistory(false, 1);
}

void cmdUndo() {
    acedInitGet(0, "All");
    int count = 1;
    const int rc = acedGetInt("\nEnter the number of operations to undo or [All] <1>: ", &count);
    if (rc == RTKWORD) {
        count = std::numeric_limits<int>::max();
    } else if (rc == RTNONE) {
        count = 1;
    } else if (rc != RTNORM) {
        return;
    } else if (count < 1) {
        acutPrintf("\nValue must be positive and nonzero.");
        return;
    }
    stepHistory(true, count);
}

struct CommandDef {
    const char* name;
    AcRxFunctionPtr function;
    Adesk::Int32 flags;
};

const CommandDef kCommands[] = {
    {"NEW", cmdNew, ACRX_CMD_MODAL},
    {"OPEN", cmdOpen, ACRX_CMD_MODAL},
    {"SAVE", cmdSave, ACRX_CMD_MODAL},
    {"SAVEAS", cmdSaveAs, ACRX_CMD_MODAL},
    {"CLOSE", cmdClose, ACRX_CMD_MODAL},
    {"-TABLE", cmdTableOnCommandLine, ACRX_CMD_MODAL},
    {"TABLE", cmdTableDialog, ACRX_CMD_MODAL},
    {"TABLEDIT", cmdTableEdit, ACRX_CMD_MODAL},
    {"-TABLESTYLE", cmdTableStyleOnCommandLine, ACRX_CMD_MODAL},
    {"PROPERTIES", cmdProperties, ACRX_CMD_TRANSPARENT},
    {"ZOOM", cmdZoom, ACRX_CMD_TRANSPARENT},
    {"APPLOAD", cmdAppload, ACRX_CMD_MODAL},
    {"SCRIPT", cmdScript, ACRX_CMD_MODAL},
    {"MENULOAD", cmdMenuLoad, ACRX_CMD_MODAL},
    {"U", cmdU, ACRX_CMD_MODAL},
    {"UNDO", cmdUndo, ACRX_CMD_MODAL},
    {"REDO", cmdRedo, ACRX_CMD_MODAL},
    {"SETVAR", cadhost::setvarCommand, ACRX_CMD_TRANSPARENT},
};

} // namespace

void registerHostCommands(HostCommandHooks hooks) {
    g_hooks = std::move(hooks);
    AcEdCommandStack* stack = acedRegCmds;
    if (!stack)
        return;
    stack->removeGroup(kHostCommandGroup);
    for (const CommandDef& c : kCommands)
        stack->addCommand(kHostCommandGroup, c.name, c.name, c.flags, c.function);
}

void unregisterHostCommands() {
    if (AcEdCommandStack* stack = acedRegCmds)
        stack->removeGroup(kHostCommandGroup);
    g_hooks = {};
}

} // namespace hostui
