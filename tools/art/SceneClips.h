#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <vector>

// Short scenes that move, for the questions of subject four: the records of
// assets/scenes/clips/*.txt (their format: assets/scenes/README.md), each frame made into a
// scene description and drawn by the scene kit.

constexpr double kShortestClip = 3.0; // seconds
constexpr double kLongestClip = 8.0;

struct ClipFrames
{
    std::vector<QImage> frames; // 200 x 150, in 256 colours
    int framesPerSecond = 0;
    QImage still; // the frame the question shows where the clip does not play
};

// The frames of the clip, or none when it is unknown or its record has faults; those are
// added to errors ("file:line: what"), when given.
ClipFrames drawClipFrames(const QString& name, QStringList* errors = nullptr);

// The clip as the bank stores it: an AVI file of Motion-JPEG frames; empty on faults.
QByteArray clipFile(const QString& name, QStringList* errors = nullptr);

bool isKnownClip(const QString& name);
QStringList clipNames();

// Every fault of every clip, for the builder to stop on.
QStringList clipFaults();

// Reads the clips from another folder than the project's; for tests.
void setClipFolder(const QString& folder);
