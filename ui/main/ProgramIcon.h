#pragma once

#include <QIcon>

// The program's icon: the one installed in the icon theme, else the copy
// built into the program (a run from the build tree).
QIcon ProgramIcon();
