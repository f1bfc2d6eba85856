#pragma once
// Registers the shell's resources with the framework layer: strings, main menu 128 and its
// accelerators, toolbars 128 and 132 to 135 with their button pictures, the background
// picture 131 and the document type strings. Menus of the document types that are not
// registered yet get a plain document menu, which their own registration replaces.
#include "resources/ResourceIds.h"

class QImage;

void RegisterShellResources();
// The help pages (called by RegisterShellResources, after the strings).
void RegisterHelpTopics();

// The 704 by 419 title picture drawn behind the document windows.
QImage MakeBackgroundPicture();
// The program's 32 by 32 icon (bitmap 128: the main frame's windows show it).
QImage MakeIcon();
