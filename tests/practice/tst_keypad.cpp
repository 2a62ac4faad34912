// The keypad edits its caller's label key by key, at the place the caller chose, and
// closes only through OK, which never leaves the label empty.
#include "practice/Unt_JianPan.h"
#include "tests/support/TestSupport.h"

#include <QPointer>

using namespace testing;

class TestKeypad : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_owner;
    Label* m_target = nullptr;

    // Shows a keypad on the target at (300, 200) and presses the keys by name.
    void press(const QStringList& keys, bool expectClosed = true)
    {
        m_target->setCaption(QString());
        QPointer<TFrm_JianPan> pad = new TFrm_JianPan();
        pad->move(300, 200);
        pad->TargetControl = m_target;
        bool stillOpen = false;
        whenModal([&](QWidget* modal) {
            QCOMPARE(modal, pad.data());
            QCOMPARE(modal->pos(), QPoint(300, 200)); // not centred
            for (const QString& key : keys) {
                auto* button = modal->findChild<FlatButton*>(key);
                QVERIFY2(button, qPrintable(key));
                clickControl(button);
            }
            stillOpen = pad && pad->isVisible();
            if (stillOpen) {
                pad->close();
            }
        });
        pad->showModal();
        QCOMPARE(!stillOpen, expectClosed);
        settle();
        QVERIFY(!pad);
    }

private slots:
    void init()
    {
        m_owner = std::make_unique<QWidget>();
        m_target = new Label(m_owner.get());
    }

    void cleanup()
    {
        checkModalActions();
        m_owner.reset();
        settle();
        QVERIFY(visibleWindows().isEmpty());
    }

    void keysAppendTheirDigits()
    {
        press({"sbtn0", "sbtn0", "sbtn7", "sbtnOK"});
        QCOMPARE(m_target->caption(), QStringLiteral("007"));
        press({"sbtn1", "sbtn2", "sbtn3", "sbtn4", "sbtn5", "sbtn6", "sbtn7", "sbtn8", "sbtn9",
               "sbtn0", "sbtnOK"});
        QCOMPARE(m_target->caption(), QStringLiteral("1234567890"));
    }

    void okWithoutDigitsLeavesOne()
    {
        press({"sbtnOK"});
        QCOMPARE(m_target->caption(), QStringLiteral("1"));
        press({"sbtn4", "sbtn2", "sbtnCancel", "sbtnOK"});
        QCOMPARE(m_target->caption(), QStringLiteral("1"));
    }

    void cancelClearsAndStaysOpen()
    {
        press({"sbtn5", "sbtnCancel", "sbtn8"}, false);
        QCOMPARE(m_target->caption(), QStringLiteral("8"));
    }

    void noLimitOnDigits()
    {
        QStringList keys;
        for (int i = 0; i < 30; ++i) {
            keys << QStringLiteral("sbtn9");
        }
        press(keys << QStringLiteral("sbtnOK"));
        QCOMPARE(m_target->caption(), QString(30, QLatin1Char('9')));
    }

    void keyboardDoesNothing()
    {
        m_target->setCaption(QString());
        QPointer<TFrm_JianPan> pad = new TFrm_JianPan();
        pad->TargetControl = m_target;
        bool open = false;
        whenModal([&](QWidget* modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
            QTest::keyClick(modal, Qt::Key_Return);
            QTest::keyClick(modal, Qt::Key_5);
            open = modal->isVisible();
            clickControl(pad->sbtnOK);
        });
        pad->showModal();
        QVERIFY(open);
        QCOMPARE(m_target->caption(), QStringLiteral("1"));
        settle();
    }
};

TAVIRO_TEST_MAIN(TestKeypad)
#include "tst_keypad.moc"
