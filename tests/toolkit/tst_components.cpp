// The component layer: forms and their modal results and freeing, clicks through the
// stacking order, the plain message box, pictures, and the default error report.
#include "data/Connection.h"
#include "data/DMUnit.h"
#include "gui/Error.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Controls.h"
#include "toolkit/DataControls.h"
#include "toolkit/Form.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ReadyPicture.h"
#include "toolkit/Resources.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>

using namespace testing;

namespace {

class ProbeForm : public Form
{
public:
    explicit ProbeForm(CloseAction onClose = CloseAction::Free)
        : m_onClose(onClose)
    {
        setClientSize(300, 200);
        label = named(new Label(this), "lblValue");
        label->setGeometry(10, 10, 100, 20);
    }
    Label* label;
    int closes = 0;
    int shows = 0;

protected:
    void FormClose(CloseAction& action) override
    {
        ++closes;
        action = m_onClose;
    }
    void FormShow() override { ++shows; }

private:
    CloseAction m_onClose;
};

} // namespace

class TestComponents : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        checkModalActions();
        settle();
        QVERIFY2(visibleWindows().isEmpty(), "a window was left open");
    }

    void formIsFramelessFixedAndCentred()
    {
        ProbeForm form(CloseAction::Hide);
        form.show();
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.size(), QSize(300, 200));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        const QRect screen = screenRect();
        QCOMPARE(form.pos(), QPoint(screen.x() + (screen.width() - 300) / 2,
                                    screen.y() + (screen.height() - 200) / 2));
        QCOMPARE(form.shows, 1);
        form.close();
    }

    void modalResultEndsTheModalShowAndTheFormIsFreedLater()
    {
        QPointer<ProbeForm> form = new ProbeForm(CloseAction::Free);
        whenModal([&](QWidget*) {
            form->label->setCaption(QStringLiteral("12345"));
            form->setModalResult(mrOk);
        });
        QCOMPARE(form->showModal(), int(mrOk));
        // The caller can still read the controls right after the modal show.
        QVERIFY(form);
        QCOMPARE(form->label->caption(), QStringLiteral("12345"));
        QCOMPARE(form->closes, 1);
        settle();
        QVERIFY(form.isNull());
    }

    void systemCloseGivesCancelAndKeysDoNotClose()
    {
        ProbeForm form(CloseAction::Hide);
        whenModal([&](QWidget* modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
            QTest::keyClick(modal, Qt::Key_Return);
            QVERIFY(modal->isVisible());
            modal->close();
        });
        QCOMPARE(form.showModal(), int(mrCancel));
        QCOMPARE(form.closes, 1);
    }

    void closeHandlerMayRefuse()
    {
        ProbeForm form(CloseAction::None);
        form.show();
        form.close();
        QVERIFY(form.isVisible());
        QCOMPARE(form.closes, 1);
        form.hide();
    }

    void clicksFollowTheStackingOrder()
    {
        ProbeForm form(CloseAction::Hide);
        QStringList clicked;
        auto area = [&](const char* name, QRect r) {
            Label* l = named(new Label(&form), name);
            l->setGeometry(r);
            l->OnClick = [&clicked](QObject* s) { clicked << s->objectName(); };
            return l;
        };
        Label* below = area("below", QRect(20, 50, 100, 60));
        Label* above = area("above", QRect(60, 50, 100, 60)); // later sibling lies on top
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clickWindowAt(&form, QPoint(40, 70));  // only "below" is there
        clickWindowAt(&form, QPoint(100, 70)); // both: "above" takes it
        above->hide();
        clickWindowAt(&form, QPoint(100, 70)); // hidden controls take nothing
        below->setEnabled(false);
        clickWindowAt(&form, QPoint(40, 70)); // disabled ones neither
        QCOMPARE(clicked, QStringList({"below", "above", "below"}));

        // A press that is released elsewhere is no click.
        below->setEnabled(true);
        QWindow* window = form.windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(40, 70));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(250, 180));
        QCOMPARE(clicked.size(), 3);
        form.close();
    }

    void exceptionInAHandlerGoesToTheDefaultReport()
    {
        Application::setTitle(QStringLiteral("Taviro"));
        ProbeForm form(CloseAction::Hide);
        Label* l = named(new Label(&form), "boom");
        l->setGeometry(0, 0, 300, 200);
        int after = 0;
        l->OnClick = [&](QObject*) { throw ToolkitError(QStringLiteral("图片文件无效")); };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString text, title;
        int icon = 0;
        answerMessageBox(QMessageBox::Ok, &text, &title, &icon);
        clickWindowAt(&form, QPoint(150, 100));
        QCOMPARE(text, QStringLiteral("图片文件无效"));
        QCOMPARE(title, QStringLiteral("Taviro"));
        QCOMPARE(icon, int(QMessageBox::Critical));
        // The program goes on: the next click is handled again.
        l->OnClick = [&](QObject*) { ++after; };
        clickWindowAt(&form, QPoint(150, 100));
        QCOMPARE(after, 1);
        form.close();
    }

    void messageBoxFollowsTheWindowsFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::newRow("error, OK")
            << 16 << int(QMessageBox::Ok) << int(IDOK) << int(QMessageBox::Critical) << 1;
        QTest::newRow("question, yes")
            << 36 << int(QMessageBox::Yes) << int(IDYES) << int(QMessageBox::Question) << 2;
        QTest::newRow("question, no")
            << 36 << int(QMessageBox::No) << int(IDNO) << int(QMessageBox::Question) << 2;
        QTest::newRow("ok cancel") << (1 | 48) << int(QMessageBox::Cancel) << int(IDCANCEL)
                                   << int(QMessageBox::Warning) << 2;
        QTest::newRow("retry") << (5 | 64) << int(QMessageBox::Retry) << int(IDRETRY)
                               << int(QMessageBox::Information) << 2;
        QTest::newRow("abort retry ignore")
            << 2 << int(QMessageBox::Ignore) << int(IDIGNORE) << int(QMessageBox::NoIcon) << 3;
    }

    void messageBoxFollowsTheWindowsFlags()
    {
        QFETCH(int, flags);
        QFETCH(int, press);
        QFETCH(int, result);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        int seenIcon = -1;
        int seenButtons = 0;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            seenIcon = int(box->icon());
            seenButtons = int(box->buttons().size());
            box->button(QMessageBox::StandardButton(press))->click();
        });
        QCOMPARE(MessageBox(QStringLiteral("文字"), QStringLiteral("标题"), flags), result);
        QCOMPARE(seenIcon, icon);
        QCOMPARE(seenButtons, buttons);
    }

    void buttonsReadInChinese()
    {
        QString yes;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            yes = box->button(QMessageBox::Yes)->text();
            box->button(QMessageBox::No)->click();
        });
        MessageBox(QStringLiteral("现在关闭Taviro吗？"), QStringLiteral("关闭询问"), 36);
        QVERIFY2(yes.contains(QStringLiteral("是")), qPrintable(yes));
    }

    void picturesLoadOrRaise()
    {
        AppFolder folder;
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setPixel(0, 2, qRgb(0, 255, 0)); // bottom left: the transparent colour
        QVERIFY(image.save(folder.file(QStringLiteral("a.bmp"))));
        folder.writeFile(QStringLiteral("broken.bmp"), QByteArray("BM\x10\0\0\0", 6));
        folder.writeFile(QStringLiteral("a.xyz"), QByteArray("x"));

        Picture p(nullptr);
        p.setAutoSize(true);
        p.loadFromFile(folder.file(QStringLiteral("a.bmp")));
        QCOMPARE(p.size(), QSize(4, 3));
        QVERIFY_THROWS_EXCEPTION(ToolkitError,
                                 p.loadFromFile(folder.file(QStringLiteral("broken.bmp"))));
        QVERIFY_THROWS_EXCEPTION(ToolkitError,
                                 p.loadFromFile(folder.file(QStringLiteral("none.bmp"))));
        QVERIFY_THROWS_EXCEPTION(ToolkitError,
                                 p.loadFromFile(folder.file(QStringLiteral("a.xyz"))));
        QCOMPARE(p.image().size(), QSize(4, 3)); // a failed load keeps the picture

        p.setTransparent(true);
        const QImage drawn = p.grab().toImage();
        QCOMPARE(QColor(drawn.pixel(3, 0)), QColor(Qt::red));
        QCOMPARE(qAlpha(drawn.pixel(0, 2)), 0);
    }

    void progressBarStepsToItsMaximum()
    {
        ProgressBar pb(nullptr);
        pb.setMin(0);
        pb.setMax(27);
        for (int i = 0; i < 27; ++i) {
            pb.stepIt();
        }
        QCOMPARE(pb.position(), 27);
        pb.stepIt();
        QCOMPARE(pb.position(), 0);

        // The bar covers the part of the groove that the position has reached.
        pb.resize(110, 16);
        pb.setMax(10);
        pb.setPosition(5);
        const QImage drawn = pb.grab().toImage();
        const QColor empty = pb.palette().color(QPalette::Base);
        QVERIFY(drawn.pixelColor(20, 8) != empty);
        QCOMPARE(drawn.pixelColor(90, 8), empty);
        pb.setPosition(0);
        QCOMPARE(pb.grab().toImage().pixelColor(20, 8), empty);
    }

    void readyPicturesKeepTheirPixels()
    {
        QImage opaque(7, 5, QImage::Format_RGB32);
        opaque.fill(QColor(10, 200, 30));
        opaque.setPixelColor(6, 4, QColor(250, 1, 2));
        QImage clear(3, 2, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        clear.setPixelColor(1, 1, QColor(0, 0, 255));
        for (const QImage& original : {opaque, clear}) {
            const QImage back = ReadyPicture::decode(ReadyPicture::encode(original));
            QCOMPARE(back.size(), original.size());
            QCOMPARE(back.hasAlphaChannel(), original.hasAlphaChannel());
            QCOMPARE(back.convertToFormat(QImage::Format_ARGB32),
                     original.convertToFormat(QImage::Format_ARGB32));
        }
        // Damaged bytes give no picture, never pixels read past their end.
        const QByteArray good = ReadyPicture::encode(opaque);
        QVERIFY(ReadyPicture::decode(good.left(good.size() - 1)).isNull());
        QVERIFY(ReadyPicture::decode(good.left(10)).isNull());
        QVERIFY(ReadyPicture::decode(QByteArray("BM")).isNull());
        QByteArray huge = good;
        huge[8 + 1] = char(0x7F); // a width of 32519
        QVERIFY(ReadyPicture::decode(huge).isNull());
        QByteArray stride = good;
        stride[8 + 12] = char(stride[8 + 12] + 4);
        QVERIFY(ReadyPicture::decode(stride).isNull());
        // The screens' pictures are stored this way and load as the screen's size.
        QCOMPARE(loadResourcePicture(artPath(QStringLiteral("MainMenu.rgb32"))).size(),
                 QSize(800, 600));
        QVERIFY(loadResourcePicture(artPath(QStringLiteral("None.rgb32"))).isNull());
        QCOMPARE(loadBitmapResource(QStringLiteral("XueYuanBan")).size(), QSize(116, 48));
    }

    void windowsPaintOncePerFrame()
    {
        struct Counted : QWidget
        {
            int paints = 0;
            int shown = -1;
            int value = 0;
            void paintEvent(QPaintEvent*) override
            {
                ++paints;
                shown = value;
            }
        } window;
        window.resize(50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Until a frame has passed since the last paint: then a repaint paints at once.
        bool paintedAtOnce = false;
        const auto repaintNow = [&] {
            const int painted = window.paints;
            window.repaint();
            return window.paints > painted;
        };
        QTRY_VERIFY(paintedAtOnce || (paintedAtOnce = repaintNow()));
        const int before = window.paints;
        for (int i = 1; i <= 30; ++i) {
            window.value = i;
            window.repaint();
        }
        // Thirty repaints within one frame: at most the first one is painted at once...
        QVERIFY(window.paints - before <= 1);
        // ...and the last state still reaches the screen at the end of the frame.
        QTRY_COMPARE(window.shown, 30);
        QVERIFY(window.paints - before <= 3);
    }

    void dataSourceTellsControlsBeforeTheHandler()
    {
        AppFolder folder;
        folder.writeBank();
        Connection con;
        con.connectionString = bankConnectionString(folder.path());
        con.open();
        Query q(&con);
        q.SQL.add(QStringLiteral("SELECT ID, Content FROM T_Topic ORDER BY ID"));
        DataSource source;
        DBText text(nullptr);
        text.setDataSource(&source);
        text.setDataField(QStringLiteral("ID"));
        QStringList seen;
        source.OnDataChange = [&](QObject*, Field*) { seen << text.text(); };
        source.setDataSet(&q);
        q.open();
        q.next();
        QCOMPARE(seen, QStringList({"1", "2"}));
        // Detached, the handler hears nothing; the control still follows.
        source.OnDataChange = nullptr;
        q.next();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(text.text(), QStringLiteral("3"));
        source.setDataSet(nullptr);
        QCOMPARE(text.text(), QString());
    }
};

TAVIRO_TEST_MAIN(TestComponents)
#include "tst_components.moc"
