#pragma once
// The maker's web address as a link in one of the add-in's dialogs: a
// CHyperlink over the dialog's placeholder text, underlined, red under the
// pointer and blue otherwise on the dialog's face, with the add-in's hand
// cursor, opened through the host's shell like the add-in's web commands.

#include <string>

class CHyperlink;
class QWidget;

// Null when there is no placeholder (a template without it).
CHyperlink* createSiteLink(QWidget* placeholder, int id, const std::string& site);
