#pragma once

#include <QString>

// The application folder: every data file of the program lies there.
QString applicationDirectory();
void setApplicationDirectory(const QString& directory);

// A file of the application folder: the folder, a separator and the name.
QString appFile(const QString& name);

// A file named by a path relative to the application folder as the screens store it,
// with a leading backslash ("\html\page.htm"): the folder followed directly by it.
QString appRelativeFile(const QString& storedPath);
