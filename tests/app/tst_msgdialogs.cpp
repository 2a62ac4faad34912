// The program's own message dialog: its layout, its buttons and what Enter, Esc and the
// close box return.
#include "sharedscreens/MsgDialogs.h"
#include "tests/support/TestSupport.h"

#include <QPushButton>

using namespace testing;

namespace {

// Answers the next dialog with a key (or the close box when key is 0).
void answerWith(int key, QString* title = nullptr)
{
    whenModal([=](QWidget* modal) {
        if (title) {
            *title = modal->windowTitle();
        }
        if (key == 0) {
            modal->close();
        } else {
            QTest::keyClick(modal, Qt::Key(key));
        }
    });
}

} // namespace

class TestMsgDialogs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        checkModalActions();
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void mulDivRoundsHalvesAwayFromZero()
    {
        QCOMPARE(MulDiv(11, 6, 4), 17);   // 16.5
        QCOMPARE(MulDiv(-11, 6, 4), -17); // -16.5
        QCOMPARE(MulDiv(10, 13, 8), 16);  // 16.25
        QCOMPARE(MulDiv(50, 13, 8), 81);  // 81.25
        QCOMPARE(MulDiv(18, 13, 8), 29);  // 29.25
        QCOMPARE(MulDiv(70, 7, 4), 123);  // 122.5
        QCOMPARE(MulDiv(1, 2, 0), -1);
    }

    void handInConfirmationLooksAsItShould()
    {
        std::unique_ptr<TMessageForm> form(
            BuildMsgDialog(QStringLiteral("请问你是否要结束考试？"), mtWarning, 3));
        QCOMPARE(form->windowTitle(), QStringLiteral("交卷询问"));
        QVERIFY(form->findChild<Picture*>(QStringLiteral("Image")));
        auto* yes = form->findChild<QPushButton*>(QStringLiteral("Yes"));
        auto* no = form->findChild<QPushButton*>(QStringLiteral("No"));
        QVERIFY(yes && no);
        QCOMPARE(yes->text(), QStringLiteral("结束考试"));
        QCOMPARE(no->text(), QStringLiteral("继续考试"));
        QVERIFY(yes->x() < no->x());
        QCOMPARE(yes->width(), no->width());
        QVERIFY(yes->isDefault());
        QVERIFY(no->property("cancelButton").toBool());
        QCOMPARE(form->palette().color(QPalette::Window), QColor(215, 215, 255));
        QVERIFY(!(form->windowFlags() & Qt::FramelessWindowHint));
    }

    void handInAnswers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("enter") << int(Qt::Key_Return) << 6;
        QTest::newRow("escape") << int(Qt::Key_Escape) << 7;
        QTest::newRow("close box") << 0 << 2;
    }

    void handInAnswers()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        QString title;
        answerWith(key, &title);
        QCOMPARE(ShowMsgDialog(QStringLiteral("您还有3 17 100未做。\r\n请问你是否要结束考试？"),
                               mtWarning, 3, 0),
                 result);
        QCOMPARE(title, QStringLiteral("交卷询问"));
    }

    void failureMessageAnswers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("enter") << int(Qt::Key_Return) << 1;
        QTest::newRow("escape") << int(Qt::Key_Escape) << 1;
        QTest::newRow("close box") << 0 << 2;
    }

    void failureMessageAnswers()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        answerWith(key);
        QCOMPARE(ShowMsgDialog(QStringLiteral("生成模拟考试题失败!请重新进入."), mtWarning, 4, 0),
                 result);
    }

    void clickedButtonGivesItsResult()
    {
        whenModal(
            [](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("No"))->click(); });
        QCOMPARE(ShowMsgDialog(QStringLiteral("？"), mtConfirmation, 3, 0), 7);
    }

    void layoutFollowsTheFontUnits()
    {
        std::unique_ptr<TMessageForm> form(BuildMsgDialog(QStringLiteral("短"), mtWarning, 4));
        const QFontMetrics fm(form->font());
        const int x = fm.horizontalAdvance(
                          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                      52;
        const int y = fm.height();
        auto* image = form->findChild<Picture*>(QStringLiteral("Image"));
        auto* ok = form->findChild<QPushButton*>(QStringLiteral("OK"));
        auto* message = form->findChild<Label*>(QStringLiteral("Message"));
        QCOMPARE(image->geometry(), QRect(MulDiv(11, x, 4), MulDiv(10, y, 8), 32, 32));
        QCOMPARE(message->x(), MulDiv(11, x, 4) + 32 + MulDiv(14, x, 4));
        QCOMPARE(ok->height(), MulDiv(18, y, 8));
        // A short text: the icon sets the block's height, the button row its width.
        const int blockHeight = 32;
        QCOMPARE(ok->y(), blockHeight + MulDiv(10, y, 8) + MulDiv(50, y, 8));
        QCOMPARE(form->height(),
                 blockHeight + ok->height() + MulDiv(50, y, 8) + 2 * MulDiv(10, y, 8));
        QCOMPARE(ok->width(), std::max(MulDiv(70, x, 4), ButtonTextWidths[mbOK]));
        QCOMPARE(ok->x(), (form->width() - ok->width()) / 2);
    }

    void longTextWrapsAtHalfTheScreen()
    {
        QString numbers;
        for (int i = 1; i <= 100; ++i) {
            numbers += QString::number(i) + QLatin1Char(' ');
        }
        numbers.chop(1);
        const QString text =
            QStringLiteral("您还有") + numbers + QStringLiteral("未做。\r\n请问你是否要结束考试？");
        std::unique_ptr<TMessageForm> form(BuildMsgDialog(text, mtWarning, 3));
        auto* message = form->findChild<Label*>(QStringLiteral("Message"));
        QVERIFY(message->width() <= screenRect().width() / 2);
        QVERIFY(message->height() > 3 * QFontMetrics(form->font()).height());

        std::unique_ptr<TMessageForm> one(BuildMsgDialog(QStringLiteral("第一行"), mtWarning, 4));
        std::unique_ptr<TMessageForm> two(
            BuildMsgDialog(QStringLiteral("第一行\r\n第二行"), mtWarning, 4));
        const int lineHeight = one->findChild<Label*>(QStringLiteral("Message"))->height();
        QCOMPARE(two->findChild<Label*>(QStringLiteral("Message"))->height(), 2 * lineHeight);
    }

    void cachedButtonWidthsStay()
    {
        const int saved = ButtonTextWidths[mbCancel];
        ButtonTextWidths[mbCancel] = 300; // as if measured earlier in a larger font
        std::unique_ptr<TMessageForm> form(
            BuildMsgDialog(QStringLiteral("?"), mtCustom, msgButton(mbOK) | msgButton(mbCancel)));
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("OK"))->width(), 300);
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("Cancel"))->width(), 300);
        QVERIFY(!form->findChild<Picture*>(QStringLiteral("Image")));
        QCOMPARE(form->windowTitle(), Application::title());
        ButtonTextWidths[mbCancel] = saved;
    }

    void helpDoesNotClose()
    {
        whenModal([](QWidget* modal) {
            modal->findChild<QPushButton*>(QStringLiteral("Help"))->click();
            QVERIFY(modal->isVisible());
            modal->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        });
        QCOMPARE(ShowMsgDialog(QStringLiteral("?"), mtInformation,
                               msgButton(mbOK) | msgButton(mbHelp), 0),
                 1);
    }
};

TAVIRO_TEST_MAIN(TestMsgDialogs)
#include "tst_msgdialogs.moc"
