#pragma once

// startUp expects the environment of the screens prepared first.
#include "app/Environment.h"

#include <QString>

class Clock;
class TMainForm;

// The start-up sequence up to the message loop: splash, application folder, title, the
// data module (which may ask for termination) and the main menu, then the splash goes.
TMainForm* startUp(const QString& applicationDirectory, const Clock& clock);

// The whole program: start-up, then the message loop until the main menu closes.
int runProgram(int argc, char** argv);
