// The answer sheet's grid when a panel's display raises: the panel stays empty and the
// learner sees one error report after the paint, however often the grid repaints.
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "data/DataError.h"
#include "data/Query.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Application.h"
#include "toolkit/DBCtrlGrid.h"
#include "toolkit/DataControls.h"

#include <QPainter>

using namespace testing;

class TestCtrlGrid : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void raisingPanelsAreReportedOnceAfterThePaint()
    {
        AppFolder folder;
        folder.writeBank();
        Connection con;
        con.connectionString = bankConnectionString(folder.path());
        con.open();
        Query q(&con);
        q.SQL.add(QStringLiteral("SELECT ID FROM T_Topic ORDER BY ID"));
        DataSource source;
        source.setDataSet(&q);
        q.open();

        Application::setTitle(QStringLiteral("Taviro"));
        QWidget window;
        window.resize(400, 200);
        DBCtrlGrid grid(&window);
        grid.setGeometry(0, 0, 400, 200);
        grid.setPanels(10, 10, QSize(40, 20));
        grid.setDataSource(&source);
        int painted = 0;
        bool insidePaint = false;
        grid.OnPaintPanel = [&](DBCtrlGrid* sender, int index) {
            ++painted;
            insidePaint = true;
            sender->canvas()->fillRect(QRect(0, 0, 40, 20), Qt::red);
            throw DatabaseError(QStringLiteral("第%1格无法显示").arg(index + 1));
        };

        MessageBoxWatcher watcher;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A storm of paints, every panel of every paint raising.
        QCOMPARE(watcher.count(), 0); // nothing is shown inside a paint
        for (int i = 0; i < 20; ++i) {
            const int before = painted;
            grid.update();
            QTRY_VERIFY(painted > before);
        }
        QVERIFY2(painted >= 3 * q.recordCount(), qPrintable(QString::number(painted)));
        QVERIFY(insidePaint);
        QTRY_COMPARE(watcher.count(), 1);
        settle(); // the reports are posted: none is left waiting
        QCOMPARE(watcher.count(), 1);
        QCOMPARE(watcher.texts.constFirst(), QStringLiteral("第1格无法显示"));
        QCOMPARE(watcher.titles.constFirst(), QStringLiteral("Taviro"));

        // A fault that comes back after a good paint is told again. The panels are drawn
        // empty: none of what the handler drew before it raised.
        int good = 0;
        grid.OnPaintPanel = [&](DBCtrlGrid*, int) { ++good; };
        grid.update();
        QTRY_VERIFY(good > 0);
        grid.OnPaintPanel = [&](DBCtrlGrid* sender, int index) {
            sender->canvas()->fillRect(QRect(0, 0, 40, 20), Qt::red);
            if (index == 1) {
                throw DatabaseError(QStringLiteral("第2格无法显示"));
            }
        };
        const QImage shot = grid.grab().toImage();
        QCOMPARE(QColor(shot.pixel(20, 10 + 20)), QColor(Qt::white)); // panel 2
        QCOMPARE(QColor(shot.pixel(20, 10 + 40)), QColor(Qt::red));   // panel 3
        QTRY_COMPARE(watcher.count(), 2);
        QCOMPARE(watcher.texts.constLast(), QStringLiteral("第2格无法显示"));

        // A grid that goes before its report runs leaves nothing behind.
        {
            DBCtrlGrid doomed(&window);
            doomed.setGeometry(0, 0, 40, 20);
            doomed.setDataSource(&source);
            doomed.OnPaintPanel = [](DBCtrlGrid*, int) {
                throw DatabaseError(QStringLiteral("x"));
            };
            doomed.show();
            doomed.repaint();
        }
        settle();
        QCOMPARE(watcher.count(), 2);
        window.close();
    }
};

TAVIRO_TEST_MAIN(TestCtrlGrid)
#include "tst_ctrlgrid.moc"
