#pragma once

#include <QImage>
#include <QStringList>

// Road scenes for the questions of the bank, drawn from the descriptions in
// assets/scenes/*.txt (their format: assets/scenes/README.md). Names: "scene/<name>".
// Every picture is 200 x 150, the size of the practice screen's picture box, in 256
// colours.

// The scene, or a null image when it is unknown or its description has faults; those are
// added to errors ("file:line: what"), when given.
QImage drawScene(const QString& name, QStringList* errors = nullptr);
bool isKnownScene(const QString& name);
QStringList sceneNames();

// Every fault of every description, for the builder to stop on.
QStringList sceneFaults();

// Reads descriptions from another folder than the project's; for tests.
void setSceneFolder(const QString& folder);

// What a learner must read in a scene (a person, a signal lamp, a lane arrow, a sign's
// face), as the kit draws it: the line that puts it there and its height in the picture.
struct SceneReadable
{
    QString what;
    int line = 0;
    qreal height = 0;
};
QList<SceneReadable> sceneReadables(const QString& name);

// The zoom of a view from above given as text (0 for a view through the windscreen): a clip
// draws all its frames with the least of its frames', so that its picture holds still.
qreal sceneZoomOfText(const QString& text);

// A description given as text, one record as the files hold it (the frames of a clip are
// made so); faults name the text's lines as "text:line".
QImage drawSceneText(const QString& text, QStringList* errors = nullptr);
