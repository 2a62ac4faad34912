#pragma once

#include <QString>

class Clock;
class TMainForm;

// Sets up what every screen relies on: fonts, Qt's Chinese translation, the artwork.
void prepareEnvironment();

// The start-up sequence up to the message loop: splash, application folder, title, the
// data module (which may ask for termination) and the main menu, then the splash goes.
TMainForm* startUp(const QString& applicationDirectory, const Clock& clock);

// The whole program: start-up, then the message loop until the main menu closes.
int runProgram(int argc, char** argv);
