#pragma once

// Maps the Windows faces that the screens name (宋体, 隶书, 华文行楷, 幼圆) to the
// Chinese fonts installed here. Called once at start-up, before any screen exists.
void installFontSubstitutes();

// Loads Qt's own Chinese translation, so that the standard buttons read 是, 否, 确定.
void installChineseTranslation();
