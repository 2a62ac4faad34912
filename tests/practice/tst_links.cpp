// The links of the pages as the readers' view follows them: every page and anchor they
// name is there, every picture is in the application folder, long pages open with their
// contents and every page ends with its sources.
#include "tests/support/TestSupport.h"
#include "toolkit/HtmlView.h"
#include "tools/art/HandSignals.h"
#include "tools/art/SceneKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The sixteen pages of the category buttons and the pages only links reach.
const char* const kPages[] = {
    "Trafficrg1.htm",  "Supperhw.htm",         "carreg.htm",        "driverexam.htm",
    "driverlcs.htm",   "Accident.htm",         "Accidenttreat.htm", "drivertrain.htm",
    "violate.htm",     "drivergrd.htm",        "warning_sign.htm",  "prohibit_sign.htm",
    "direct_sign.htm", "road_direct_sign.htm", "superway_sign.htm", "road_line.htm",
    "signal.htm",      "dashboard.htm",        "safedrive.htm",     "safeaid.htm",
};

// The pages of the traffic signals, each of which links to all the others.
const char* const kSignalPages[] = {
    "warning_sign.htm",  "prohibit_sign.htm", "direct_sign.htm", "road_direct_sign.htm",
    "superway_sign.htm", "road_line.htm",     "signal.htm",
};

// The rules view, the smaller of the two: a page longer than this many of its screens
// needs contents.
constexpr int kScreensWithoutContents = 3;
const QSize kRulesView(626, 381);

QString htmlDir()
{
    return QStringLiteral(TAVIRO_APP_DIR "/html/");
}

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList captures(const QString& html, const QString& pattern)
{
    const QRegularExpression re(pattern);
    QStringList out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        out << it.next().captured(1);
    }
    return out;
}

QStringList links(const QString& html)
{
    return captures(html, QStringLiteral("<a\\s[^>]*href=\"([^\"]+)\""));
}

// The anchors the view found in the shown document, by the names it scrolls to.
QSet<QString> anchorsOf(const QTextDocument* doc)
{
    QSet<QString> names;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (const QString& n : b.blockFormat().property(QTextFormat::AnchorName).toStringList()) {
            names.insert(n);
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            for (const QString& n : it.fragment().charFormat().anchorNames()) {
                names.insert(n);
            }
        }
    }
    return names;
}

// Where the link to href starts in the document, or -1.
int linkPosition(const QTextDocument* doc, const QString& href)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() == href) {
                return it.fragment().position();
            }
        }
    }
    return -1;
}

class Shown
{
public:
    explicit Shown(QSize view = kRulesView)
        : page(&holder)
    {
        holder.resize(view);
        page.setGeometry(QRect(QPoint(0, 0), view));
        holder.show();
    }
    QWidget holder;
    HtmlView page;
};

} // namespace

class TestLinks : public QObject
{
    Q_OBJECT

private slots:
    void everyLinkLeadsSomewhere_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* p : kPages) {
            QTest::newRow(p) << QString::fromLatin1(p);
        }
    }

    void everyLinkLeadsSomewhere()
    {
        QFETCH(QString, name);
        const QString html = readAll(htmlDir() + name);
        QVERIFY2(!html.isEmpty(), qPrintable(name));
        Shown shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.holder));
        const QStringList hrefs = links(html);
        // A page whose links the pattern no longer finds would check nothing.
        QVERIFY2(!hrefs.isEmpty(), qPrintable(name));
        for (const QString& href : hrefs) {
            QVERIFY2(!href.contains(QLatin1Char(':')) && !href.startsWith(QLatin1Char('/')),
                     qPrintable(name + QStringLiteral(": ") + href));
            const int hash = href.indexOf(QLatin1Char('#'));
            const QString file = hash < 0 ? href : href.left(hash);
            const QString anchor = hash < 0 ? QString() : href.mid(hash + 1);
            const QString target = file.isEmpty() ? name : file;
            QVERIFY2(QFileInfo(htmlDir() + target).isFile(),
                     qPrintable(name + QStringLiteral(" -> ") + href));

            // As a click does: the link is resolved against the page shown.
            shown.page.navigate(htmlDir() + name);
            QCoreApplication::processEvents();
            shown.page.setSource(shown.page.source().resolved(QUrl(href)));
            QCoreApplication::processEvents();
            QCOMPARE(QFileInfo(shown.page.source().toLocalFile()).fileName(), target);
            QVERIFY(shown.page.toPlainText().size() > 100);
            if (!anchor.isEmpty()) {
                QVERIFY2(anchorsOf(shown.page.document()).contains(anchor),
                         qPrintable(name + QStringLiteral(" -> ") + href));
            }
        }
    }

    void everyPictureIsInTheApplicationFolder_data() { everyLinkLeadsSomewhere_data(); }

    void everyPictureIsInTheApplicationFolder()
    {
        QFETCH(QString, name);
        const QString html = readAll(htmlDir() + name);
        for (const QString& src : captures(html, QStringLiteral("<img\\s[^>]*src=\"([^\"]+)\""))) {
            QVERIFY2(!src.contains(QLatin1Char(':')) && !src.contains(QLatin1String("..")),
                     qPrintable(src));
            const QImage picture(htmlDir() + src);
            QVERIFY2(!picture.isNull(), qPrintable(name + QStringLiteral(": ") + src));
        }
    }

    void longPagesOpenWithTheirContents_data() { everyLinkLeadsSomewhere_data(); }

    void longPagesOpenWithTheirContents()
    {
        QFETCH(QString, name);
        const QString html = readAll(htmlDir() + name);
        Shown shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.holder));
        shown.page.navigate(htmlDir() + name);
        QCoreApplication::processEvents();
        const QScrollBar* bar = shown.page.verticalScrollBar();
        const int screens = (bar->maximum() + bar->pageStep()) / std::max(1, bar->pageStep());

        // Sources and the month they were checked, on every page.
        QVERIFY2(html.contains(QStringLiteral("资料来源")), qPrintable(name));
        QVERIFY2(html.contains(QStringLiteral("核对至2026年12月")), qPrintable(name));
        if (screens <= kScreensWithoutContents) {
            return;
        }
        // The contents come before the first section and name every section, in order;
        // each section ends with the way back to them.
        const QStringList sections = captures(html, QStringLiteral("<h2 id=\"([^\"]+)\""));
        QCOMPARE(sections.size(), int(html.count(QLatin1String("<h2"))));
        QVERIFY(sections.size() >= 2);
        const int toc = html.indexOf(QLatin1String("id=\"toc\""));
        QVERIFY2(toc > 0 && toc < html.indexOf(QLatin1String("<h2")), qPrintable(name));
        QStringList listed;
        for (const QString& href : links(html.left(html.indexOf(QLatin1String("<h2"))))) {
            if (href.startsWith(QLatin1Char('#'))) {
                listed << href.mid(1);
            }
        }
        QCOMPARE(listed, sections);
        const int backs = html.count(QStringLiteral("<a href=\"#toc\">返回目录</a>"));
        QCOMPARE(backs, sections.size());
        QVERIFY(html.lastIndexOf(QStringLiteral("返回目录")) >
                html.lastIndexOf(QLatin1String("<h2")));
    }

    // From any page of signs, markings or signals the others are one click away, so that
    // the signals page, which has no button, is reached from every sign page.
    void signalPagesLinkEachOther()
    {
        for (const char* from : kSignalPages) {
            const QStringList hrefs = links(readAll(htmlDir() + QLatin1String(from)));
            for (const char* to : kSignalPages) {
                if (qstrcmp(from, to) != 0) {
                    QVERIFY2(hrefs.contains(QLatin1String(to)),
                             qPrintable(QString::fromLatin1(from) + QStringLiteral(" -> ") +
                                        QString::fromLatin1(to)));
                }
            }
        }
    }

    // A real click on a link of the contents scrolls down to its section, Page Up comes
    // back to the top, and a click on a link to another page opens that page.
    void clicksFollowLinks()
    {
        Shown shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.holder));
        shown.page.navigate(htmlDir() + QStringLiteral("Trafficrg1.htm"));
        QCoreApplication::processEvents();
        QScrollBar* bar = shown.page.verticalScrollBar();
        QCOMPARE(bar->value(), 0);

        auto clickAt = [&](int position) {
            QTextCursor c(shown.page.document());
            c.setPosition(position + 1);
            shown.page.setTextCursor(c);
            shown.page.ensureCursorVisible();
            QCoreApplication::processEvents();
            const QPoint at = shown.page.cursorRect(c).center();
            QVERIFY(shown.page.viewport()->rect().contains(at));
            QTest::mouseClick(shown.page.viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QCoreApplication::processEvents();
        };
        const QStringList sections = captures(readAll(htmlDir() + QStringLiteral("Trafficrg1.htm")),
                                              QStringLiteral("<h2 id=\"([^\"]+)\""));
        const QString last = QLatin1Char('#') + sections.last();
        const int entry = linkPosition(shown.page.document(), last);
        QVERIFY(entry >= 0);
        clickAt(entry);
        QVERIFY(bar->value() > 2 * bar->pageStep());
        const int down = bar->value();
        for (int i = 0; i < 200 && bar->value() > 0; ++i) {
            shown.page.postPageUp();
            QCoreApplication::processEvents();
        }
        QCOMPARE(bar->value(), 0);
        shown.page.postPageDown();
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), bar->pageStep());
        QVERIFY(down > bar->pageStep());

        // The back link that ends the page returns to the contents near the top.
        int back = -1;
        for (QTextBlock b = shown.page.document()->lastBlock(); b.isValid() && back < 0;
             b = b.previous()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().anchorHref() == QLatin1String("#toc")) {
                    back = it.fragment().position();
                }
            }
        }
        QVERIFY(back > entry);
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        clickAt(back);
        QVERIFY(bar->value() < bar->pageStep());

        // To the signals page.
        shown.page.navigate(htmlDir() + QStringLiteral("Trafficrg1.htm"));
        QCoreApplication::processEvents();
        const int toSignals = linkPosition(shown.page.document(), QStringLiteral("signal.htm"));
        QVERIFY(toSignals >= 0);
        clickAt(toSignals);
        QCOMPARE(QFileInfo(shown.page.source().toLocalFile()).fileName(),
                 QStringLiteral("signal.htm"));
        QVERIFY(shown.page.toPlainText().contains(QStringLiteral("手势信号")));
    }

    // The officer on the signals page is the officer of the questions, signal by signal.
    void signalsPageShowsTheQuestionsPictures()
    {
        const QString html = readAll(htmlDir() + QStringLiteral("signal.htm"));
        const QStringList shown = captures(html, QStringLiteral("<img\\s[^>]*src=\"([^\"]+)\""));
        QCOMPARE(shown.size(), handSignalNames().size());
        for (const QString& name : handSignalNames()) {
            const QString file = name + QStringLiteral(".png");
            QVERIFY2(shown.contains(file), qPrintable(file));
            const QImage written(htmlDir() + file);
            QCOMPARE(written.convertToFormat(QImage::Format_RGB32),
                     drawHandSignal(name).convertToFormat(QImage::Format_RGB32));
        }
        // Reached from the rules page the readers open first.
        QVERIFY(links(readAll(htmlDir() + QStringLiteral("Trafficrg1.htm")))
                    .contains(QStringLiteral("signal.htm")));
    }

    // Subject four's pages have no button: the first rules page leads to both, each to the
    // other, and their scenes are the questions' own drawings, not stale copies.
    void safePagesAreReachedAndShowTheScenes()
    {
        const QStringList first = links(readAll(htmlDir() + QStringLiteral("Trafficrg1.htm")));
        const QString pages[] = {QStringLiteral("safedrive.htm"), QStringLiteral("safeaid.htm")};
        int scenes = 0;
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(first.contains(pages[i]), qPrintable(pages[i]));
            const QString html = readAll(htmlDir() + pages[i]);
            QVERIFY2(links(html).contains(pages[1 - i]), qPrintable(pages[i]));
            for (const QString& src :
                 captures(html, QStringLiteral("<img\\s[^>]*src=\"(scene/[^\"]+)\\.png\""))) {
                const QImage written(htmlDir() + src + QStringLiteral(".png"));
                QCOMPARE(written.convertToFormat(QImage::Format_RGB32),
                         drawScene(src).convertToFormat(QImage::Format_RGB32));
                ++scenes;
            }
        }
        QVERIFY(scenes >= 8);
    }
};

TAVIRO_TEST_MAIN(TestLinks)
#include "tst_links.moc"
