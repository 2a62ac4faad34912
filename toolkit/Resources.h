#pragma once

#include <QImage>
#include <QString>

// The program's string resources.
enum class StringId
{
    Contact // vendor, web address and telephone, shown at the foot of the screens
};

QString loadStr(StringId id);

// A bitmap compiled into the program by name ("XueYuanBan"). Throws ToolkitError when
// there is none of that name.
QImage loadBitmapResource(const QString& name);

// Where the artwork compiled into the program lies: ":/art/" + name.
QString artPath(const QString& name);

// A picture compiled into the program, by its resource path: one stored ready to draw,
// or a PNG, JPEG or BMP picture. Null when there is none. On a screen of more than the
// usual density it is the picture's drawing at twice the density when there is one,
// fitted to the screen (pictureForScreen): the same size in logical pixels, sharper.
QImage loadResourcePicture(const QString& path);

// The density of the screens, in pixels per logical pixel: 1 on ordinary screens.
qreal screenDensity();

// The name of a picture's drawing at twice the density: "art/Menu@2x.rgb32" for
// "art/Menu.rgb32", "bitmaps/Badge@2x" for "bitmaps/Badge".
QString doubledPicturePath(const QString& path);

// A picture drawn at twice the density, made ready for a screen of this density: at
// 2 and above it is shown as it is; below, it is scaled smoothly once to the screen's
// pixels, so that painting it copies pixels instead of scaling them every time.
QImage pictureForScreen(const QImage& doubled, qreal density);
