// The rules and signs readers: which page each category opens, paging through it with
// posted keys, the focus after a category click, and what a missing page does.
#include "app/MainUnit.h"
#include "practice/Unt_JiaoTongBiaoZhi.h"
#include "practice/Unt_JiaoTongFaGui.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"

#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <memory>

using namespace testing;

namespace {

struct Category
{
    const char* button;
    QRect place;
    const char* file;
};

const Category kRules[] = {
    {"sbtnGuanLiTiaoLi", {18, 63, 334, 27}, "Trafficrg1.htm"},
    {"SpeedButton1", {18, 90, 334, 27}, "Supperhw.htm"},
    {"SpeedButton2", {18, 117, 334, 27}, "carreg.htm"},
    {"SpeedButton3", {18, 144, 334, 27}, "driverexam.htm"},
    {"SpeedButton4", {18, 171, 334, 27}, "driverlcs.htm"},
    {"SpeedButton5", {381, 56, 334, 27}, "Accident.htm"},
    {"SpeedButton6", {381, 84, 334, 27}, "Accidenttreat.htm"},
    {"SpeedButton7", {381, 113, 334, 27}, "drivertrain.htm"},
    {"SpeedButton8", {381, 141, 334, 27}, "violate.htm"},
    {"SpeedButton9", {381, 168, 392, 27}, "drivergrd.htm"},
    {"sbtnXinHao", {722, 60, 72, 54}, "signal.htm"},
    {"sbtnKeMuSi", {722, 114, 72, 54}, "safedrive.htm"},
};

const Category kSigns[] = {
    {"sbtnJinGaoBiaoZhi", {309, 22, 149, 27}, "warning_sign.htm"},
    {"SpeedButton1", {309, 58, 149, 27}, "prohibit_sign.htm"},
    {"SpeedButton2", {309, 93, 149, 27}, "direct_sign.htm"},
    {"SpeedButton3", {507, 23, 284, 27}, "road_direct_sign.htm"},
    {"SpeedButton4", {507, 58, 284, 27}, "superway_sign.htm"},
    {"SpeedButton5", {507, 92, 284, 27}, "road_line.htm"},
};

// A page several screens long whose first line names it.
QByteArray longPage(const QString& marker)
{
    QString html =
        QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><p>%1</p>").arg(marker);
    for (int i = 0; i < 120; ++i) {
        html += QStringLiteral("<p>第%1条 驾驶机动车应当遵守道路交通安全法律、法规。</p>").arg(i);
    }
    return (html + QStringLiteral("</body></html>")).toUtf8();
}

void writePages(AppFolder& folder)
{
    QDir(folder.path()).mkpath(QStringLiteral("html"));
    for (const Category& c : kRules) {
        folder.writeFile(QStringLiteral("html/") + QLatin1String(c.file),
                         longPage(QLatin1String(c.file)));
    }
    for (const Category& c : kSigns) {
        folder.writeFile(QStringLiteral("html/") + QLatin1String(c.file),
                         longPage(QLatin1String(c.file)));
    }
}

template <class F> F* showViewer()
{
    auto* form = new F(nullptr);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowExposed(form)) {
        qWarning("the viewer was not exposed");
    }
    return form;
}

// Lets the posted key and focus events run.
void runPosted()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestViewers : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFolder> m_folder;

private slots:
    void init()
    {
        m_folder = std::make_unique<AppFolder>();
        writePages(*m_folder);
        setApplicationDirectory(m_folder->path());
    }

    void cleanup()
    {
        checkModalActions();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<Form*>(w)) {
                delete w;
            }
        }
        settle();
        QVERIFY(visibleWindows().isEmpty());
        m_folder.reset();
    }

    void pagePathsJoinTheApplicationFolder()
    {
        QCOMPARE(appRelativeFile(QStringLiteral("\\html\\violate.htm")),
                 QDir::toNativeSeparators(m_folder->path() + QStringLiteral("/html/violate.htm")));
        setApplicationDirectory(QStringLiteral("/srv/Study"));
        QCOMPARE(appRelativeFile(QStringLiteral("\\html\\Trafficrg1.htm")),
                 QStringLiteral("/srv/Study/html/Trafficrg1.htm"));

        auto* form = showViewer<TFrm_JiaoTongFaGui>();
        QCOMPARE(form->SpeedButton8->hint(), QStringLiteral("\\html\\violate.htm"));
        clickControl(form->SpeedButton8);
        QCOMPARE(form->WebBrowser->fileName(), QStringLiteral("/srv/Study/html/violate.htm"));
        // No such folder: the view's own error page, and no message box.
        QVERIFY(form->WebBrowser->showsErrorPage());
        QCOMPARE(visibleWindows(), QList<QWidget*>{form});
    }

    void folderAtTheRootStillOpensItsPages()
    {
        // The root keeps its separator, so its pages come out with a doubled one.
        HtmlView view(nullptr);
        view.navigate(QLatin1Char('/') + m_folder->file(QStringLiteral("html/carreg.htm")));
        QVERIFY(!view.showsErrorPage());
        QVERIFY(view.toPlainText().startsWith(QLatin1String("carreg.htm")));
    }

    void everyRulesCategoryLoadsItsPage()
    {
        auto* form = showViewer<TFrm_JiaoTongFaGui>();
        QCOMPARE(form->size(), QSize(800, 600));
        QCOMPARE(form->Panel1->geometry(), QRect(32, 204, 626, 381));
        QCOMPARE(form->WebBrowser->geometry(), QRect(0, 0, 626, 381));
        for (const Category& c : kRules) {
            auto* button = form->findChild<FlatButton*>(QLatin1String(c.button));
            QVERIFY2(button, c.button);
            QCOMPARE(button->geometry(), c.place);
            QVERIFY(button->toolTip().isEmpty());
            clickWindowAt(form, c.place.center());
            QCOMPARE(form->WebBrowser->fileName(),
                     m_folder->file(QStringLiteral("html/") + QLatin1String(c.file)));
            QVERIFY(!form->WebBrowser->showsErrorPage());
            QVERIFY(form->WebBrowser->toPlainText().startsWith(QLatin1String(c.file)));
        }
    }

    void everySignsCategoryLoadsItsPage()
    {
        auto* form = showViewer<TFrm_JiaoTongBiaoZhi>();
        QCOMPARE(form->Panel1->geometry(), QRect(23, 136, 605, 441));
        QCOMPARE(form->WebBrowser->geometry(), QRect(0, 0, 605, 441));
        for (const Category& c : kSigns) {
            auto* button = form->findChild<FlatButton*>(QLatin1String(c.button));
            QVERIFY2(button, c.button);
            QCOMPARE(button->geometry(), c.place);
            clickWindowAt(form, c.place.center());
            QCOMPARE(form->WebBrowser->fileName(),
                     m_folder->file(QStringLiteral("html/") + QLatin1String(c.file)));
            QVERIFY(form->WebBrowser->toPlainText().startsWith(QLatin1String(c.file)));
        }
    }

    void pagingMovesOneScreenAndStopsAtTheEnds()
    {
        auto* form = showViewer<TFrm_JiaoTongFaGui>();
        QScrollBar* bar = form->WebBrowser->verticalScrollBar();
        // Before any page: nothing to scroll, nothing breaks.
        clickControl(form->sbtnPageDown);
        clickControl(form->sbtnPageUp);
        runPosted();
        QCOMPARE(bar->value(), 0);
        QVERIFY(form->WebBrowser->toPlainText().isEmpty());

        clickControl(form->sbtnGuanLiTiaoLi);
        QVERIFY(bar->maximum() > 3 * bar->pageStep());
        const int screen = form->WebBrowser->viewport()->height();
        QVERIFY(qAbs(bar->pageStep() - screen) <= 2);

        clickControl(form->sbtnPageUp);
        runPosted();
        QCOMPARE(bar->value(), 0); // at the top already

        clickControl(form->sbtnPageDown);
        runPosted();
        QCOMPARE(bar->value(), bar->pageStep());
        clickControl(form->sbtnPageDown);
        runPosted();
        QCOMPARE(bar->value(), 2 * bar->pageStep());
        clickControl(form->sbtnPageUp);
        runPosted();
        QCOMPARE(bar->value(), bar->pageStep());

        for (int i = 0; i < 100 && bar->value() < bar->maximum(); ++i) {
            clickControl(form->sbtnPageDown);
            runPosted();
        }
        QCOMPARE(bar->value(), bar->maximum());
        clickControl(form->sbtnPageDown);
        runPosted();
        QCOMPARE(bar->value(), bar->maximum()); // not past the end
    }

    void quickPressesScrollOnePageEachInOrder()
    {
        auto* form = showViewer<TFrm_JiaoTongBiaoZhi>();
        clickControl(form->sbtnJinGaoBiaoZhi);
        runPosted();
        QScrollBar* bar = form->WebBrowser->verticalScrollBar();
        QList<int> seen;
        connect(bar, &QScrollBar::valueChanged, this, [&](int v) { seen << v; });

        // The presses only post their keys: the view moves when it runs its events.
        form->sbtnPageDownClick(form->sbtnPageDown);
        form->sbtnPageDownClick(form->sbtnPageDown);
        form->sbtnPageDownClick(form->sbtnPageDown);
        QCOMPARE(bar->value(), 0);
        runPosted();
        const int step = bar->pageStep();
        QCOMPARE(seen, (QList<int>{step, 2 * step, 3 * step}));

        // Order matters at the top: up then down ends one page down, not at the top.
        bar->setValue(0);
        seen.clear();
        form->sbtnPageUpClick(form->sbtnPageUp);
        form->sbtnPageDownClick(form->sbtnPageDown);
        runPosted();
        QCOMPARE(bar->value(), step);
    }

    void signsViewerGivesTheViewTheFocus()
    {
        auto* form = showViewer<TFrm_JiaoTongBiaoZhi>();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(form->focusWidget(), form->WebBrowser);
        form->WebBrowser->clearFocus();
        QVERIFY(!form->WebBrowser->hasFocus());
        clickControl(form->SpeedButton3);
        runPosted();
        QVERIFY(form->WebBrowser->hasFocus());
    }

    void rulesViewerLeavesTheFocusWhereItWas()
    {
        auto* form = showViewer<TFrm_JiaoTongFaGui>();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(form->focusWidget(), form->WebBrowser);
        form->WebBrowser->clearFocus();
        clickControl(form->SpeedButton4);
        runPosted();
        QVERIFY(!form->WebBrowser->hasFocus());
        QVERIFY(!form->WebBrowser->toPlainText().isEmpty());
    }

    void missingPageShowsTheViewsOwnDisplay()
    {
        QFile::remove(m_folder->file(QStringLiteral("html/carreg.htm")));
        auto* form = showViewer<TFrm_JiaoTongFaGui>();
        clickControl(form->sbtnGuanLiTiaoLi);
        QVERIFY(!form->WebBrowser->showsErrorPage());
        clickControl(form->SpeedButton2);
        runPosted();
        QVERIFY(form->WebBrowser->showsErrorPage());
        QVERIFY(form->WebBrowser->toPlainText().contains(QStringLiteral("carreg.htm")));
        QCOMPARE(visibleWindows(), QList<QWidget*>{form});
        // Paging the error page and going on to another category both work.
        clickControl(form->sbtnPageDown);
        runPosted();
        clickControl(form->SpeedButton3);
        QVERIFY(!form->WebBrowser->showsErrorPage());
    }

    void exitClosesAndFreesTheScreen()
    {
        QPointer<TFrm_JiaoTongBiaoZhi> form = new TFrm_JiaoTongBiaoZhi(nullptr);
        whenModal([&](QWidget* modal) {
            QCOMPARE(modal, form.data());
            clickControl(form->sbtnExit);
        });
        form->showModal();
        settle();
        QVERIFY(form.isNull());
    }

    void mainMenuOpensBothViewersModally()
    {
        TMainForm menu;
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        for (bool rules : {true, false}) {
            QPointer<QWidget> opened;
            QByteArray kind;
            whenModal([&](QWidget* modal) {
                opened = modal;
                kind = modal->metaObject()->className();
                QCOMPARE(modal->parentWidget(), nullptr);
                auto* exit = modal->findChild<FlatButton*>(QStringLiteral("sbtnExit"));
                QVERIFY(exit);
                clickControl(exit);
            });
            clickControl(rules ? static_cast<QWidget*>(menu.lblJiaoTongFaGui)
                               : static_cast<QWidget*>(menu.lblJiaoTongBiaoZhi));
            QCOMPARE(kind,
                     rules ? QByteArray("TFrm_JiaoTongFaGui") : QByteArray("TFrm_JiaoTongBiaoZhi"));
            settle();
            QVERIFY(opened.isNull());
        }
    }
};

TAVIRO_TEST_MAIN(TestViewers)
#include "tst_viewers.moc"
