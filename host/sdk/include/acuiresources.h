#pragma once
// Module resources as user-interface objects: a provider over a module's Qt
// resource folder, and look-ups through the current resource module of the
// stack (the current module first, then the host's own resources). A missing
// or unreadable resource gives an empty result.

#include "hostresources.h"

#include <QByteArray>
#include <QMenu>
#include <QPixmap>
#include <QString>

#include <memory>
#include <string>
#include <vector>

// The resources under a Qt resource folder (":/kelvarin") or a plain folder:
//   BITMAP/<id or name>.bmp|.png   DIALOG/<id>.dlg   MENU/<id>.mnu
//   TOOLBAR/<id>.tb   CURSOR/...   ICON/...   HTML/...
//   strings.txt   one "<id><TAB><text>" a line ("\n", "\t", "\\" escapes)
// Folder and file names compare without letter case; a name matches a file's
// name with or without its extension.
std::shared_ptr<cadhost::ResourceProvider> cadhostQrcResources(const std::string& root);

// String table entry id; empty when missing.
QString acuiLoadString(unsigned id);
// Bitmap resource by id or name; a null pixmap when missing.
QPixmap acuiLoadBitmap(unsigned id);
QPixmap acuiLoadBitmap(const std::string& name);
// Toolbar resource: the command ids of its buttons, 0 for a separator.
std::vector<unsigned> acuiLoadToolbar(unsigned id);
// Menu resource: a menu whose submenus are the resource's popups (the first
// popup is the first submenu). Every action carries its command id as data()
// and as property "commandId". Null when missing or malformed.
std::unique_ptr<QMenu> acuiLoadMenu(unsigned id);
// The raw bytes of a resource of any kind ("DIALOG", "HTML" ...); empty when missing.
QByteArray acuiLoadResourceData(const std::string& kind, unsigned id);
QByteArray acuiLoadResourceData(const std::string& kind, const std::string& name);
