#pragma once

#include <QString>

// Sends one ordinary file to the desktop's trash (the freedesktop trash on
// Linux), without a question, so that it stays recoverable. Anything that
// is not an ordinary file is left alone. Returns whether the file went.
bool RecycleFile(const QString &path);
