// The parts the screens share: click areas, the contact label, the question heading,
// the answer of an answer area and the trimming of stored answers.
#include "sharedscreens/ScreenParts.h"
#include "tests/support/TestSupport.h"
#include "toolkit/ClickArea.h"
#include "toolkit/Resources.h"
#include "toolkit/TextTrim.h"

using namespace testing;

class TestScreenParts : public QObject
{
    Q_OBJECT

private slots:
    void trimmingTakesBlanksAndControlCharactersOffBothEnds()
    {
        QCOMPARE(trimBlanks(QStringLiteral(" \tA\r\n")), QStringLiteral("A"));
        QCOMPARE(trimBlanks(QString(QChar(1)) + QStringLiteral("√") + QChar(0x1F)),
                 QStringLiteral("√"));
        QCOMPARE(trimBlanks(QStringLiteral("A B")), QStringLiteral("A B"));
        QCOMPARE(trimBlanks(QStringLiteral(" \r\n\t ")), QString());
        QCOMPARE(trimBlanks(QString()), QString());
        // Only what lies up to U+0020 counts as blank.
        QCOMPARE(trimBlanks(QStringLiteral("\u3000A")), QStringLiteral("\u3000A"));
    }

    void answerAreasGiveLettersOrTickAndCross()
    {
        QCOMPARE(answerOfArea(QStringLiteral("C"), false), QStringLiteral("C"));
        QCOMPARE(answerOfArea(QStringLiteral("A"), true), QStringLiteral("√"));
        QCOMPARE(answerOfArea(QStringLiteral("C"), true), QStringLiteral("×"));
    }

    void headingNamesTheNumberAndHowToAnswer()
    {
        QCOMPARE(questionHeading(QStringLiteral("7"), true),
                 QStringLiteral("第7题 (请判断该题的正确性)"));
        QCOMPARE(questionHeading(QStringLiteral("12"), false),
                 QStringLiteral("第12题 (请从下列ABCD中选择出该题的正确答案)"));
    }

    void clickAreasAreNamedPlacedAndReportTheirTag()
    {
        QWidget window;
        window.resize(200, 200);
        auto* lower = clickArea<Label>(&window, "lblLower", {10, 10, 80, 80}, 4);
        auto* upper = clickArea<FlatButton>(&window, "sbtnUpper", {50, 50, 80, 80}, 7);
        QCOMPARE(lower->objectName(), QStringLiteral("lblLower"));
        QCOMPARE(lower->geometry(), QRect(10, 10, 80, 80));
        QCOMPARE(lower->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(upper->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(lower->tag(), 4);
        QCOMPARE(upper->tag(), 7);
        QList<int> clicked;
        const NotifyEvent report = [&](QObject* s) {
            clicked << dynamic_cast<Clickable*>(s)->tag();
        };
        lower->OnClick = report;
        upper->OnClick = report;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The later area lies above where both are.
        clickWindowAt(&window, QPoint(70, 70));
        clickWindowAt(&window, QPoint(20, 20));
        QCOMPARE(clicked, QList<int>({7, 4}));
    }

    void contactLabelShowsTheContactLineAtTheFoot()
    {
        QWidget window;
        Label* l = contactLabel(&window, 31, 583);
        QCOMPARE(l->objectName(), QStringLiteral("lblAddress"));
        QCOMPARE(l->pos(), QPoint(31, 583));
        QCOMPARE(l->font().pixelSize(), 14);
        QVERIFY(l->font().bold());
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(Qt::blue));
        l->setCaption(loadStr(StringId::Contact));
        QVERIFY(!l->caption().isEmpty());
        // It sizes itself to the line.
        QVERIFY(l->width() > 0);
        QCOMPARE(l->size(), l->sizeHint());
    }

    void screenPictureFillsTheScreen()
    {
        QWidget window;
        Picture* p = screenPicture(&window, "Image1", QStringLiteral("MainMenu.rgb32"));
        QCOMPARE(p->objectName(), QStringLiteral("Image1"));
        QCOMPARE(p->geometry(), QRect(0, 0, 800, 600));
        QVERIFY(!p->isEmpty());
    }
};

TAVIRO_TEST_MAIN(TestScreenParts)
#include "tst_screenparts.moc"
