// The road scenes of the questions: every description of the project draws and reads
// back through the screens' reader in both stored forms, places follow right-hand
// traffic, and faulty descriptions are named with their file and line.
#include "gui/BitmapBlob.h"
#include "tests/support/TestSupport.h"
#include "tools/art/SceneKit.h"
#include "tools/bank/BankBuilder.h"

#include <QTemporaryDir>

namespace {

const QString kScenes = QStringLiteral(TAVIRO_SOURCE_DIR "/assets/scenes");
const QRgb kEgo = qRgb(214, 36, 40);

// The middle of the learner's red car in a picture.
QPointF egoAt(const QImage& image)
{
    qreal x = 0;
    qreal y = 0;
    int n = 0;
    for (int py = 0; py < image.height(); ++py) {
        for (int px = 0; px < image.width(); ++px) {
            if (image.pixel(px, py) == kEgo) {
                x += px;
                y += py;
                ++n;
            }
        }
    }
    return n ? QPointF(x / n, y / n) : QPointF(-1, -1);
}

} // namespace

class TestScenes : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void write(const QString& name, const QString& text)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }

    QImage one(const QString& body, QStringList* faults = nullptr)
    {
        write(QStringLiteral("one.txt"), QStringLiteral("Scene: one\n") + body);
        setSceneFolder(m_dir.path());
        return drawScene(QStringLiteral("scene/one"), faults);
    }

private slots:
    void cleanup() { setSceneFolder(kScenes); }

    void everySceneOfTheProjectDrawsAndReadsBack()
    {
        setSceneFolder(kScenes);
        QCOMPARE(sceneFaults().join(QLatin1Char('\n')), QString());
        const QStringList names = sceneNames();
        QVERIFY(!names.isEmpty());
        for (const QString& name : names) {
            const QImage image = drawScene(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            QCOMPARE(image.size(), QSize(200, 150));
            QCOMPARE(image.format(), QImage::Format_Indexed8);
            // As the bank stores it, plain and behind the header, the screens read the
            // same pixels back.
            for (bool header : {false, true}) {
                QString why;
                const QImage back = readBitmapBlob(pictureBlob(image, header), &why);
                QVERIFY2(!back.isNull(), qPrintable(name + QStringLiteral(": ") + why));
                QCOMPARE(back.size(), image.size());
                for (int y = 0; y < 150; y += 7) {
                    for (int x = 0; x < 200; x += 5) {
                        QCOMPARE(back.pixel(x, y) | 0xff000000u, image.pixel(x, y) | 0xff000000u);
                    }
                }
            }
            // 256 colours at most, and a third of a 24-bit picture's size.
            QVERIFY(pictureBlob(image, false).size() < 200 * 150 + 2048);
        }
    }

    void placesKeepToTheRight()
    {
        struct Case
        {
            const char* body;
            QRectF where;
        };
        // The middle is at 100, 75; one lane each way is 11 pixels wide at a junction, wider
        // and closer on a straight road.
        const Case cases[] = {
            {"Road: cross\nVehicle: car S 1 1 ego\n", QRectF(100, 86, 11, 64)},
            {"Road: cross\nVehicle: car N 1 1 ego\n", QRectF(89, 0, 11, 64)},
            {"Road: cross\nVehicle: car E 1 1 ego\n", QRectF(111, 64, 89, 11)},
            {"Road: cross\nVehicle: car W 1 1 ego\n", QRectF(0, 75, 89, 11)},
            {"Road: cross\nVehicle: car exit-N 1 1 ego\n", QRectF(100, 0, 11, 64)},
            {"Road: cross\nLanes: 2\nVehicle: car S 2 1 ego\n", QRectF(111, 97, 11, 53)},
            {"Road: straight\nVehicle: car up 1 40 ego\n", QRectF(100, 10, 30, 40)},
            {"Road: straight\nVehicle: car down 1 40 ego\n", QRectF(70, 10, 30, 40)},
            {"Road: roundabout\nVehicle: car ring 90 ego\n", QRectF(125, 55, 35, 35)},
            {"Road: tee\nVehicle: car S 1 2 ego\n", QRectF(100, 100, 11, 50)},
        };
        for (const Case& c : cases) {
            QStringList faults;
            const QImage image = one(QString::fromUtf8(c.body), &faults);
            QVERIFY2(!image.isNull(), qPrintable(faults.join(QLatin1Char('\n'))));
            const QPointF at = egoAt(image);
            QVERIFY2(c.where.contains(at), qPrintable(QStringLiteral("%1 -> %2, %3")
                                                          .arg(QString::fromUtf8(c.body))
                                                          .arg(at.x())
                                                          .arg(at.y())));
        }
    }

    void faultsNameTheirFileAndLine()
    {
        struct Case
        {
            const char* body;
            const char* fault;
        };
        const Case cases[] = {
            {"Road: cross\nVehicle: car S 1 1 egg\n", "one.txt:3: no vehicle option egg"},
            {"Road: cross\nVehicle: car S 3 1\n", "one.txt:3: the arm S has 1 lanes"},
            {"Road: cross\nVehicle: car S x 1\n", "one.txt:3: x is not a number"},
            {"Road: cross\nVehicle: car ring 30\n", "one.txt:3: no place ring on this road"},
            {"Road: tee\nVehicle: car N 1 1\n", "one.txt:3: no arm N on this road"},
            {"Road: hill\n", "one.txt:2: no road hill"},
            {"Wheather: rain\n", "one.txt:2: no key Wheather"},
            {"Weather: hail\n", "one.txt:2: no weather hail"},
            {"Sign: sign/nothing 50 50\n", "one.txt:2: no sign sign/nothing"},
            {"Signal: S purple\n", "one.txt:2: no signal lamp purple"},
            {"Inset: left=flash\n", "one.txt:2: no signal lamp left=flash"},
            {"Lanes: 4\n", "one.txt:2: lanes are 1 to 3"},
            {"View: driver\nEgo: 2\n", "one.txt:1: Ego is beyond the lanes"},
            {"View: driver\nVehicle: car 0.5 1e9\n", "one.txt:3: 1e9 is not a number"},
            {"View: driver\nSign: sign/stop middle 0.5\n", "a sign stands left, right or over"},
            {"Road: straight\nPerson: zebra S 0.5\n", "needs a crossing on that arm"},
            {"Road: cross\nArrow: 10 10 20\n", "Arrow is x1 y1 x2 y2"},
        };
        for (const Case& c : cases) {
            QStringList faults;
            const QImage image = one(QString::fromUtf8(c.body), &faults);
            QVERIFY2(image.isNull(), c.body);
            QVERIFY2(faults.join(QLatin1Char('\n')).contains(QString::fromUtf8(c.fault)),
                     qPrintable(faults.join(QLatin1Char('\n'))));
            QVERIFY(sceneFaults().join(QLatin1Char('\n')).contains(QString::fromUtf8(c.fault)));
        }
    }

    void aFolderKeepsItsGoodScenesBesideFaultyLines()
    {
        write(QStringLiteral("a.txt"), QStringLiteral("Road: cross\n\nScene: Bad_Name\n\n"
                                                      "Scene: good\nRoad: cross\n\n"
                                                      "Scene: twice\nRoad: tee\n\nnot a line\n"));
        write(QStringLiteral("b.txt"), QStringLiteral("Scene: twice\nRoad: cross\n"));
        setSceneFolder(m_dir.path());
        const QString all = sceneFaults().join(QLatin1Char('\n'));
        QVERIFY(all.contains(QStringLiteral("a.txt:1: a line before the first Scene:")));
        QVERIFY(all.contains(QStringLiteral("a.txt:3: a scene's name is")));
        QVERIFY(all.contains(QStringLiteral("a.txt:11: not a Key: value line")));
        QVERIFY(all.contains(QStringLiteral("b.txt:1: scene twice is described twice")));
        QVERIFY(!drawScene(QStringLiteral("scene/good")).isNull());
        QVERIFY(isKnownScene(QStringLiteral("scene/twice")));
        QVERIFY(!isKnownScene(QStringLiteral("scene/Bad_Name")));
        QVERIFY(drawScene(QStringLiteral("good")).isNull()); // not a scene's picture name
    }

    void whatALearnerReadsIsEightPixelsTall()
    {
        // By the kit's own measures, after a view from above is framed (zoomed out again
        // where a queue would leave the picture) and however far ahead through the
        // windscreen.
        setSceneFolder(kScenes);
        for (const QString& name : sceneNames()) {
            for (const SceneReadable& r : sceneReadables(name)) {
                QVERIFY2(r.height >= 8 - 1e-6, qPrintable(QStringLiteral("%1:%2 %3 is %4 px")
                                                              .arg(name)
                                                              .arg(r.line)
                                                              .arg(r.what)
                                                              .arg(r.height)));
            }
        }
        // A child at the horizon, a child beside a wide road and a queue that
        // pushes the zoom out, a wide guide sign and arrow lamps.
        const char* bodies[] = {
            "View: driver\nPerson: 1.5 0.98 child\nSign: sign/exp_exit_500m right 0.9\n"
            "Signal: 0.95 left=red\nMark: arrow 1 left 0.9\n",
            "Road: straight\nLanes: 3\nPerson: 30 75 child\nVehicle: car up 1 146\n"
            "Arrows: up 40 left straight right\nSign: sign/exp_exit_500m 170 20 20\n",
            "Road: cross\nZebra: S\nSignal: S left=red straight=green\nArrows: S left-straight\n"
            "Person: zebra S 0.5 child\nVehicle: car N 1 3\n",
        };
        for (const char* body : bodies) {
            QStringList faults;
            QVERIFY2(!one(QString::fromUtf8(body), &faults).isNull(),
                     qPrintable(faults.join(QLatin1Char('\n'))));
            const QList<SceneReadable> read = sceneReadables(QStringLiteral("scene/one"));
            QVERIFY2(read.size() >= 3, body);
            for (const SceneReadable& r : read) {
                QVERIFY2(r.height >= 8 - 1e-6,
                         qPrintable(r.what + QStringLiteral(" in ") + QString::fromUtf8(body)));
            }
        }
    }

    void aSceneOfManyColoursKeepsItsMainOnesExactly()
    {
        // Rain and night blend into thousands of colours: 256 remain.
        const QImage wet = one(QStringLiteral("Road: straight\nWeather: rain night\n"
                                              "Vehicle: car up 1 75 hazard brake beam=high\n"));
        QVERIFY(!wet.isNull());
        QVERIFY(wet.colorCount() <= 256);
        // Lit lamps blend into the car's body; the body's own colour stays exact.
        const QImage lit = one(QStringLiteral("Road: straight\n"
                                              "Vehicle: car up 1 75 ego hazard brake siren\n"));
        QVERIFY(QRectF(100, 65, 30, 20).contains(egoAt(lit)));
    }
};

QTEST_MAIN(TestScenes)
#include "tst_scenes.moc"
