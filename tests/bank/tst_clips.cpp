// The clips of subject four's questions: a record drawn frame by frame by the scene kit and
// written by the clip writer reads back in the player's reader with its frames and length;
// the faults of a record name its line; the bank check takes every clip the build wrote
// and stops on a cut, an empty and a short one.
#include "exampaper/ExamFormat.h"
#include "exampaper/ExamPaper.h"
#include "gui/AviClip.h"
#include "tools/art/AviWriter.h"
#include "tools/art/SceneClips.h"
#include "tools/bank/BankBuilder.h"
#include "tools/bank/BankCheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

const QString kClips = QStringLiteral(TAVIRO_SOURCE_DIR "/assets/scenes/clips");

// How far two frames are apart, on average over the pixels and channels.
double difference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int j = 0; j < x.height(); ++j) {
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j);
            const QRgb q = y.pixel(i, j);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

std::vector<PlanShare> safePlan()
{
    std::vector<PlanShare> shares;
    for (const TExam& row : subjectFour().plan) {
        shares.push_back({row.Count, row.Condition});
    }
    return shares;
}

} // namespace

class TestClips : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void writeClips(const QString& text)
    {
        QFile file(m_dir.filePath(QStringLiteral("t.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        setClipFolder(m_dir.path());
    }

private slots:
    void cleanup() { setClipFolder(kClips); }

    void recordPlaysBackWithItsFramesAndLength()
    {
        writeClips(QStringLiteral("Clip: t-move\nLength: 3\nRate: 10\nStill: 1.5\n"
                                  "Road: straight\nVehicle: car up 1 0=130,3=40 ego\n"));
        QStringList faults;
        const ClipFrames drawn = drawClipFrames(QStringLiteral("t-move"), &faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QCOMPARE(drawn.frames.size(), size_t(30));
        QVERIFY(drawn.still == drawn.frames[15]);
        QVERIFY(difference(drawn.frames[0], drawn.frames[29]) > 0.5); // the car moved

        const AviClip clip = AviClip::fromBytes(clipFile(QStringLiteral("t-move")));
        QCOMPARE(clip.frameCount(), 30);
        QCOMPARE(clip.frameInterval(), qint64(100000));
        QCOMPARE(clip.frameSize(), QSize(200, 150));
        for (const int i : {0, 15, 29}) {
            const QImage frame = clip.frame(i);
            QVERIFY(!frame.isNull());
            QVERIFY2(difference(frame, drawn.frames[size_t(i)]) < 6,
                     qPrintable(QString::number(difference(frame, drawn.frames[size_t(i)]))));
        }
        QVERIFY(clipFault(clipFile(QStringLiteral("t-move"))).isEmpty());
    }

    void faultsNameTheRecordsLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("too long") << QStringLiteral("Length: 9") << "t.txt:2: a clip lasts 3 to 8";
        QTest::newRow("moments back") << QStringLiteral("Vehicle: car up 1 2=90,1=80")
                                      << "t.txt:4: 2=90,1=80: a track's moments run up";
        QTest::newRow("a frame's fault") << QStringLiteral("Vehicle[1.5-]: plane up 1 0=130,4=80")
                                         << "t.txt:4: .*plane.* at 1.5 s";
    }

    void faultsNameTheRecordsLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        const bool length = line.startsWith(QLatin1String("Length"));
        writeClips(QStringLiteral("Clip: t-bad\n%1\nRoad: straight\n%2\n")
                       .arg(length ? line : QStringLiteral("Length: 4"),
                            length ? QStringLiteral("Vehicle: car up 1 90") : line));
        const QStringList faults = clipFaults();
        QCOMPARE(faults.size(), 1);
        QVERIFY2(faults[0].contains(QRegularExpression(message)), qPrintable(faults[0]));
        QVERIFY(clipFile(QStringLiteral("t-bad")).isEmpty());
    }

    // Every clip of the build plays through and lasts 3 to 8 seconds; a cut, an empty and a
    // short clip stop the check, each named by its question.
    void bankCheckTakesTheBuildsClipsAndStopsOnDamagedOnes()
    {
        std::vector<BankRow> rows;
        QString error;
        QVERIFY2(readSubjectFour(QStringLiteral(TAVIRO_APP_DIR "/Drive.mdb"), &rows, &error),
                 qPrintable(error));
        std::vector<BankRow*> withClips;
        for (BankRow& r : rows) {
            if (r.clip) {
                withClips.push_back(&r);
                QVERIFY2(clipFault(*r.clip).isEmpty(), qPrintable(QString::number(r.id)));
                QVERIFY(r.picture); // the still, where the clip does not play
            }
        }
        QVERIFY(withClips.size() >= 30);
        QStringList warnings;
        QVERIFY(checkSubjectFour(rows, safePlan(), {}, &warnings).isEmpty());

        const QByteArray good = *withClips[0]->clip;
        AviOptions options;
        options.codec = AviCodec::MotionJpeg;
        const AviClip sound = AviClip::fromBytes(good);
        std::vector<QImage> two;
        for (int i = 0; i < 20; ++i) {
            two.push_back(sound.frame(i % sound.frameCount()));
        }
        *withClips[0]->clip = good.left(good.size() / 2);
        *withClips[1]->clip = QByteArray("RIFF\0\0\0\0AVI ", 12);
        *withClips[2]->clip = writeAvi(two, options); // two seconds at ten frames a second
        const QStringList problems = checkSubjectFour(rows, safePlan(), {}, &warnings);
        QCOMPARE(problems.size(), 3);
        QVERIFY2(problems[0].contains(
                     QStringLiteral("ID %1: the clip does not decode").arg(withClips[0]->id)),
                 qPrintable(problems[0]));
        QVERIFY2(problems[1].contains(
                     QStringLiteral("ID %1: the clip does not decode").arg(withClips[1]->id)),
                 qPrintable(problems[1]));
        QVERIFY2(problems[2].contains(
                     QStringLiteral("ID %1: the clip lasts 2.00 s").arg(withClips[2]->id)),
                 qPrintable(problems[2]));
    }
};

QTEST_MAIN(TestClips)
#include "tst_clips.moc"
