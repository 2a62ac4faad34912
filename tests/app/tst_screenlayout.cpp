// The screens against the frames and button faces their backgrounds draw: no two frames
// cross, and a control that shows something (text, a picture, a panel) lies across no
// frame but the one that holds most of it. Click areas show nothing and are left out, as
// are pictures cut from the background at their own place, which draw what lies under them.
#include "app/MainUnit.h"
#include "exam/Unt_MoLiKaoShiPingFen.h"
#include "exam/Unt_SafeExam.h"
#include "exam/Unt_SimulateExam.h"
#include "practice/Unt_JiaoTongBiaoZhi.h"
#include "practice/Unt_JiaoTongFaGui.h"
#include "practice/Unt_ShunXuLianXi.h"
#include "practice/Unt_XueXiJiLu.h"
#include "practice/Unt_XueXiMoShi.h"
#include "tests/support/ExamSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/AppDir.h"
#include "tools/art/Artwork.h"

#include <QDir>
#include <QPointer>
#include <memory>

using namespace testing;

namespace {

// Overlaps of up to this many pixels are the antialiased edges of neighbours.
const int kSlack = 2;

bool crosses(const QRect& a, const QRect& b)
{
    const QRect common = a & b;
    return common.width() > kSlack && common.height() > kSlack && !a.contains(b) && !b.contains(a);
}

bool showsSomething(const QWidget* w)
{
    if (qobject_cast<const FlatButton*>(w)) {
        return false;
    }
    const auto* label = qobject_cast<const Label*>(w);
    return !label || !label->caption().isEmpty();
}

QStringList crossings(QWidget* screen, const QStringList& cutFromBackground = {})
{
    const std::vector<DrawnFrame> frames = drawnFrames(screen->objectName());
    QStringList found;
    if (frames.empty()) {
        return {screen->objectName() + QStringLiteral(": no frames known")};
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        for (size_t j = i + 1; j < frames.size(); ++j) {
            if (crosses(frames[i].box, frames[j].box)) {
                found << frames[i].name + QStringLiteral(" crosses ") + frames[j].name;
            }
        }
    }
    for (QWidget* w : screen->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect box = w->geometry();
        if (!w->isVisible() || !showsSomething(w) || box.contains(screen->rect()) ||
            cutFromBackground.contains(w->objectName())) {
            continue;
        }
        size_t own = frames.size();
        int most = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const QRect common = box & frames[i].box;
            if (common.width() * common.height() > most) {
                most = common.width() * common.height();
                own = i;
            }
        }
        for (size_t i = 0; i < frames.size(); ++i) {
            if (i != own && crosses(box, frames[i].box)) {
                found << w->objectName() + QStringLiteral(" crosses ") + frames[i].name;
            }
        }
    }
    return found;
}

// The result screen as it fills itself when shown, without its modal loop.
struct ResultScreen : TFrm_MoLiKaoShiPingFen
{
    using TFrm_MoLiKaoShiPingFen::FormShow;
};

// Shows a screen that frees itself when closed, checks it and closes it.
void checkShown(QWidget* screen, const QStringList& cutFromBackground = {})
{
    const QPointer<QWidget> alive(screen);
    screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    QCOMPARE(crossings(screen, cutFromBackground), QStringList());
    screen->close();
    settle();
    delete alive.data();
}

} // namespace

class TestScreenLayout : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        checkModalActions();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void theMenusStudyAreasLieBesideThePicture()
    {
        AppFolder folder;
        setApplicationDirectory(folder.path());
        TMainForm menu;
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QCOMPARE(crossings(&menu), QStringList());
    }

    void readersFrameTheirCategoriesOnTheFacesDrawn()
    {
        AppFolder folder;
        QDir(folder.path()).mkpath(QStringLiteral("html"));
        setApplicationDirectory(folder.path());
        // Made on the heap: a reader frees itself when it is closed.
        for (ReaderForm* reader : {static_cast<ReaderForm*>(new TFrm_JiaoTongFaGui(nullptr)),
                                   static_cast<ReaderForm*>(new TFrm_JiaoTongBiaoZhi(nullptr))}) {
            const std::unique_ptr<ReaderForm> owned(reader);
            reader->show();
            QVERIFY(QTest::qWaitForWindowExposed(reader));
            const QStringList faces = {QStringLiteral("imgHouTui")};
            QCOMPARE(crossings(reader, faces), QStringList());
            // The frame of the category shown, for every category.
            for (FlatButton* b : reader->findChildren<FlatButton*>()) {
                if (b->hint().isEmpty()) {
                    continue;
                }
                folder.writeFile(QStringLiteral("html/") + b->hint().section(QLatin1Char('\\'), -1),
                                 QByteArray("<p>page</p>"));
                clickControl(b);
                QVERIFY2(reader->imgXuanZhong->isVisible(), qPrintable(b->objectName()));
                const QRect shown = reader->imgXuanZhong->geometry();
                QVERIFY2(shown.intersects(b->geometry()), qPrintable(b->objectName()));
                QCOMPARE(crossings(reader, faces), QStringList());
            }
            // A page that a category's own page leads on to keeps that category framed.
            if (auto* rules = qobject_cast<TFrm_JiaoTongFaGui*>(reader)) {
                folder.writeFile(QStringLiteral("html/safeaid.htm"), QByteArray("<p>aid</p>"));
                rules->WebBrowser->navigate(folder.file(QStringLiteral("html/safeaid.htm")));
                QTRY_VERIFY(rules->imgXuanZhong->isVisible());
                QVERIFY(rules->imgXuanZhong->geometry().intersects(rules->sbtnKeMuSi->geometry()));
            }
        }
        // Both columns of the rules reader are drawn on the same rows at the same width.
        const std::vector<ReaderFace>& drawn = rulesReaderFaces();
        for (size_t row = 0; row < 5; ++row) {
            QCOMPARE(drawn[row].face.top(), drawn[row + 5].face.top());
            QCOMPARE(drawn[row].face.width(), drawn[row + 5].face.width());
        }
    }

    void examControlsKeepToTheirFrames()
    {
        auto fixture = std::make_unique<ExamFixture>();
        QPointer<TFrm_SimulateExam> exam = fixture->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        const QStringList strip = {QStringLiteral("imgvx")};
        QCOMPARE(crossings(exam), QStringList());
        // A statement: the tick-and-cross strip lies over the answer circles.
        QVERIFY(DM->ADOQryTopic.locate(QStringLiteral("TopicNo"), 61));
        QVERIFY(exam->imgvx->isVisible());
        QCOMPARE(crossings(exam, strip), QStringList());
        ExamFixture::closeExam(exam);
    }

    // Subject four's exam with each kind of answer, the result screen, practice, the
    // record and the study modes.
    void theOtherScreensKeepToTheirFrames()
    {
        auto fixture = std::make_unique<ExamFixture>(planBank(1));
        QPointer<TFrm_SafeExam> exam = fixture->showSafeExam(4);
        QVERIFY(QTest::qWaitForWindowExposed(exam));
        const QStringList strip = {QStringLiteral("imgvx")};
        // A statement, a single choice, a multiple answer.
        for (int number : {1, 21, 41}) {
            QVERIFY(DM->ADOQryTopic.locate(QStringLiteral("TopicNo"), number));
            QCOMPARE(crossings(exam, strip), QStringList());
        }
        ExamFixture::closeExam(exam);

        QPointer<TFrm_SimulateExam> paper = fixture->showExam();
        QVERIFY(QTest::qWaitForWindowExposed(paper));
        auto* result = new ResultScreen;
        result->FormShow();
        // As after a pass: the pass picture over the slogan.
        result->imgPingYu->show();
        checkShown(result);
        ExamFixture::closeExam(paper);

        checkShown(new TFrm_ShunXuLianXi);
        checkShown(new TFrm_XueXiJiLu);
        checkShown(new TFrm_XueXiMoShi);
    }
};

TAVIRO_TEST_MAIN(TestScreenLayout)
#include "tst_screenlayout.moc"
