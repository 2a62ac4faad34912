#pragma once

#include <QString>

// The application folder: every data file of the program lies there.
QString applicationDirectory();
void setApplicationDirectory(const QString& directory);

// A file of the application folder: the folder, a separator and the name.
QString appFile(const QString& name);
