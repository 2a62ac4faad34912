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
// or a PNG, JPEG or BMP picture. Null when there is none.
QImage loadResourcePicture(const QString& path);
