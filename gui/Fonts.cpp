#include "gui/Fonts.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <fontconfig/fontconfig.h>

void installFontSubstitutes()
{
    const QString ming = QStringLiteral("AR PL UMing CN");
    const QString kai = QStringLiteral("AR PL UKai CN");
    const QString serif = QStringLiteral("Noto Serif CJK SC");
    const QString sans = QStringLiteral("Noto Sans CJK SC");
    QFont::insertSubstitutions(QStringLiteral("宋体"), {ming, serif, sans});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {ming, serif, sans});
    QFont::insertSubstitutions(QStringLiteral("隶书"), {kai, serif, sans});
    QFont::insertSubstitutions(QStringLiteral("华文行楷"), {kai, serif, sans});
    QFont::insertSubstitutions(QStringLiteral("幼圆"), {sans, ming});
}

void installChineseTranslation()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

FontConfigurationReader::FontConfigurationReader()
    : m_thread([] { FcInit(); })
{}

FontConfigurationReader::~FontConfigurationReader()
{
    wait();
}

void FontConfigurationReader::wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
