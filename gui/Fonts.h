#pragma once

// Maps the Windows faces that the screens name (宋体, 隶书, 华文行楷, 幼圆) to the
// Chinese fonts installed here. Called once at start-up, before any screen exists.
void installFontSubstitutes();

// Loads Qt's own Chinese translation, so that the standard buttons read 是, 否, 确定.
void installChineseTranslation();

#include <thread>

// Reads the system's font configuration on a thread of its own. It is the longest step
// before the first text can be drawn and needs nothing of the window system, so started
// before the application object it runs while the display is connected; wait() before
// the first text is measured or drawn.
class FontConfigurationReader
{
public:
    FontConfigurationReader();
    ~FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;
    void wait();

private:
    std::thread m_thread;
};
