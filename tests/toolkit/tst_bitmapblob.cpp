// The reader of stored pictures: bitmaps with and without the bank's header decode;
// damaged or hostile bytes give no picture and never reach the decoder unchecked.
#include "gui/BitmapBlob.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QtEndian>

using namespace testing;

namespace {

QImage sample()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    for (int x = 0; x < 40; ++x) {
        image.setPixel(x, 0, qRgb(10, 20, 240)); // the top row tells the orientation
    }
    return image;
}

QByteArray bmpOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void put32(QByteArray& bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

class TestBitmapBlob : public QObject
{
    Q_OBJECT

private slots:
    void readsStoredPictures_data()
    {
        QTest::addColumn<QByteArray>("blob");
        const QImage image = sample();
        QTest::newRow("24-bit") << pictureBlob(image, false);
        QTest::newRow("24-bit behind the header") << pictureBlob(image, true);
        QTest::newRow("8-bit with colour table")
            << bmpOf(image.convertToFormat(QImage::Format_Indexed8));
        QTest::newRow("32-bit") << bmpOf(image.convertToFormat(QImage::Format_ARGB32));
    }

    void readsStoredPictures()
    {
        QFETCH(QByteArray, blob);
        QString error;
        const QImage image = readBitmapBlob(blob, &error);
        QVERIFY2(!image.isNull(), qPrintable(error));
        QCOMPARE(image.size(), QSize(40, 30));
        QCOMPARE(QColor(image.pixel(5, 0)), QColor(10, 20, 240));
        QCOMPARE(QColor(image.pixel(5, 20)), QColor(200, 30, 30));
    }

    void refusesDamagedBlobs_data()
    {
        QTest::addColumn<QByteArray>("blob");
        const QByteArray good = pictureBlob(sample(), false);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("这不是图片");
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        sample().save(&buffer, "PNG");
        QTest::newRow("a PNG") << png;
        QTest::newRow("file header only") << good.left(14);
        QTest::newRow("cut in the info header") << good.left(40);
        QTest::newRow("cut in the pixels") << good.left(good.size() / 2);
        QTest::newRow("one byte short") << good.left(good.size() - 1);

        QByteArray header = pictureBlob(sample(), true);
        put32(header, 4, quint32(header.size())); // length does not match: no header
        QTest::newRow("header with a wrong length") << header;

        auto patched = [&](int at, quint32 value) {
            QByteArray b = good;
            put32(b, at, value);
            return b;
        };
        QTest::newRow("wider than its pixels") << patched(18, 400);
        QTest::newRow("taller than its pixels") << patched(22, 3000);
        QTest::newRow("absurd width") << patched(18, 100000);
        QByteArray huge = patched(18, 8000);
        put32(huge, 22, 8000);
        QTest::newRow("absurd area") << huge;
        QTest::newRow("height INT_MIN") << patched(22, 0x80000000u);
        QTest::newRow("zero width") << patched(18, 0);
        QTest::newRow("pixels past the end") << patched(10, quint32(good.size() + 10));
        QTest::newRow("unknown header size") << patched(14, 0xFFFFFFF0u);
        QTest::newRow("embedded JPEG") << patched(30, 4);
        QByteArray odd = good;
        qToLittleEndian<quint16>(7, odd.data() + 28);
        QTest::newRow("odd bit count") << odd;

        QByteArray indexed = bmpOf(sample().convertToFormat(QImage::Format_Indexed8));
        put32(indexed, 46, 100000); // more colours than 8 bits hold
        QTest::newRow("colour table too large") << indexed;
    }

    void refusesDamagedBlobs()
    {
        QFETCH(QByteArray, blob);
        QString error;
        QVERIFY(readBitmapBlob(blob, &error).isNull());
        QVERIFY(!error.isEmpty());
    }

    void everyCutIsRefused()
    {
        const QByteArray good = pictureBlob(sample(), true);
        for (qsizetype n = 0; n < good.size(); ++n) {
            if (!readBitmapBlob(good.left(n)).isNull()) {
                QFAIL(qPrintable(QStringLiteral("a blob cut to %1 bytes gave a picture").arg(n)));
            }
        }
    }
};

TAVIRO_TEST_MAIN(TestBitmapBlob)
#include "tst_bitmapblob.moc"
