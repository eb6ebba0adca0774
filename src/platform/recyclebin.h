#pragma once

#include <QString>

// Moves a file to the desktop's trash, recoverable, without asking; true when the file
// left its folder and lies in a trash folder. On failure the file stays where it was.
bool moveToRecycleBin(const QString &path, QString *pathInTrash = nullptr);
