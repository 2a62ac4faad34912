#pragma once

// Sets up what every screen relies on: fonts, Qt's Chinese translation, the artwork.
void prepareEnvironment();
