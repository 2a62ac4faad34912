#pragma once

#include <QString>
#include <QStringList>

// The application folder: every data file of the program lies there. It is the
// program's own folder unless the program was given a data folder of its own; then the
// files only read (pictures, clip, pages) that the data folder lacks come from where
// the program is installed.
QString applicationDirectory();
// Sets the application folder; the program folder becomes the same folder.
void setApplicationDirectory(const QString& directory);

// The folder of the executable: code is loaded from there only.
QString programDirectory();
void setProgramDirectory(const QString& directory);
// The folders the read-only files may come from when the application folder lacks them,
// in order: the program folder, then the package's folder of shared files (the program in
// PREFIX/lib/taviro finds them in PREFIX/share/taviro).
QStringList installedDirectories();

// A file of the application folder: the folder, a separator and the name; a file only
// the installed folder holds is taken from there.
QString appFile(const QString& name);
// A file of the program folder.
QString programFile(const QString& name);

// A file named by a path relative to the application folder as the screens store it,
// with a leading backslash ("\html\page.htm"): the folder followed directly by it.
QString appRelativeFile(const QString& storedPath);
