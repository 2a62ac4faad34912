#include "toolkit/Resources.h"

#include "toolkit/Error.h"

QString loadStr(StringId id)
{
    switch (id) {
    case StringId::Contact:
        return QStringLiteral("Quorin软件  www.quorin.cn  电话:0571-8765 4321");
    }
    return QString();
}

QImage loadBitmapResource(const QString& name)
{
    const QImage image(QStringLiteral(":/bitmaps/") + name);
    if (image.isNull()) {
        throw ToolkitError(QStringLiteral("找不到位图资源“%1”。").arg(name));
    }
    return image;
}

QString artPath(const QString& name)
{
    return QStringLiteral(":/art/") + name;
}
