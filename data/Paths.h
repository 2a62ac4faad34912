#pragma once

#include <QString>

// A file in a folder: the folder, the native separator and the name. A folder given
// with its trailing separator (a root) keeps it, so the separator is doubled there.
QString joinPath(const QString& directory, const QString& name);

// A relative path as the screens store it ("\html\page.htm") in native form.
QString nativeRelativePath(const QString& storedPath);

// The folder of an executable: its full path without the file name and without a
// trailing separator, except at a root.
QString directoryOfExecutable(const QString& executablePath);

// The program's own file, known before the application object exists; empty where the
// system does not tell.
QString executablePathBeforeApplication();
