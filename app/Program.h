#pragma once

// startUp expects the environment of the screens prepared first.
#include "sharedscreens/Environment.h"

#include <QString>
#include <QStringList>

class Clock;
class TMainForm;

// The start-up sequence up to the message loop: splash, application folder, title, the
// data module (which may ask for termination) and the main menu, then the splash goes.
// The program folder, where code is loaded from, is the application folder unless given.
TMainForm* startUp(const QString& applicationDirectory, const Clock& clock,
                   const QString& programDirectory = QString());

// Where a start keeps its data and where its executable lies. The data folder is the
// program's own unless "--data-dir DIR" (or "--data-dir=DIR") or, without it, the
// environment's TAVIRO_DATA_DIR names another; an empty value names none.
struct StartFolders
{
    QString data;
    QString program;
    QString problem; // the data folder given cannot be used: the message to show
};
StartFolders startFolders(const QStringList& arguments, const QString& environmentValue,
                          const QString& programDirectory);

// The whole program: start-up, then the message loop until the main menu closes. A start
// on a data folder that a running program owns brings that program to the front and ends.
int runProgram(int argc, char** argv);
int runProgram(int argc, char** argv, const Clock& clock);
