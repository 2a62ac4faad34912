#include "sharedscreens/Environment.h"

#include "gui/Fonts.h"
#include "toolkit/Resources.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPixmap>

// The artwork is a resource of a static library: it must be registered by name, from
// outside any namespace.
static void initArtwork()
{
    Q_INIT_RESOURCE(art);
}

void prepareEnvironment()
{
    initArtwork();
    installFontSubstitutes();
    installChineseTranslation();
    QApplication::setWindowIcon(
        QIcon(QPixmap::fromImage(loadResourcePicture(artPath(QStringLiteral("MAINICON.rgb32"))))));
    QFont base(QStringLiteral("宋体"));
    base.setPixelSize(12);
    QApplication::setFont(base);
}
