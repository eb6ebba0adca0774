#pragma once

#include <QString>

// The user's well-known folders, with the home folder when the desktop names none.
class UserFolders
{
public:
    static QString documents();
    static QString pictures();
};
