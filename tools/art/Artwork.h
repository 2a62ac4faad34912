#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

// One picture of the program, drawn by code at build time.
struct ArtItem
{
    enum class Target
    {
        Resource, // compiled into the program, found at ":/" + path
        AppFile   // written into the application folder at path
    };
    Target target;
    QString path;      // e.g. "art/MainMenu.png", "bitmaps/XueYuanBan", "Yes.bmp"
    QByteArray format; // "png", "bmp", "jpg", or "rgb32": ready to draw (toolkit/ReadyPicture.h)
    std::function<QImage()> draw;
    // Shown by the first screen: kept uncompressed in the program, which reads it in
    // place instead of unpacking megabytes while it starts.
    bool atStart = false;
};

// Every picture the build draws.
std::vector<ArtItem> artworkCatalogue();

// Files the build writes that are not pictures (the clock clip): name and bytes.
struct ArtFile
{
    ArtItem::Target target;
    QString path;
    std::function<QByteArray()> make;
};
std::vector<ArtFile> artFileCatalogue();

// The program's icon, size x size pixels, for the desktop's menus.
QImage drawAppIcon(int size);

// The pictures that questions of the bank can show, by name ("sign/stop"). A null
// image for an unknown name.
QImage drawQuestionPicture(const QString& name);
QStringList questionPictureNames();

// A frame, panel or button face that a screen's background draws (its bands are none).
// The checks of the screens' layouts hold the controls against them: a control that
// shows something lies across no frame but its own, and no two frames cross.
struct DrawnFrame
{
    QString name;
    QRect box;
};
// By the object name of the screen ("MainForm", "Frm_SimulateExam", "Frm_XueXiJiLu" ...);
// none for a screen whose background draws none.
std::vector<DrawnFrame> drawnFrames(const QString& screen);
std::vector<DrawnFrame> mainMenuFrames();
std::vector<DrawnFrame> examFrames(bool subjectFour);
std::vector<DrawnFrame> resultFrames();
std::vector<DrawnFrame> readerFrames(bool rules);
std::vector<DrawnFrame> practiceFrames();
std::vector<DrawnFrame> recordFrames();
std::vector<DrawnFrame> studyModesFrames();

// A category of a reader as its background draws it, with a smaller second line where it
// has one.
struct ReaderFace
{
    QRect face;
    const char* name;
    const char* second = nullptr;
};
const std::vector<ReaderFace>& rulesReaderFaces();
const std::vector<ReaderFace>& signsReaderFaces();

// The picture catalogues of the screens, one function per screen family.
std::vector<ArtItem> mainMenuArt();
std::vector<ArtItem> examArt();
std::vector<ArtItem> viewerArt();
// The sign, marking, hand-signal and lamp pictures of the pages, written beside them under
// "html/".
std::vector<ArtItem> signPageArt();
std::vector<ArtItem> practiceArt();
std::vector<ArtItem> recordArt();
std::vector<ArtItem> studyArt();

// The face of a button of two frames for a flat button, normal then greyed: each cut at
// the button's place from a drawing of its screen with that face on it.
QImage twoFrameGlyph(const QImage& normal, const QImage& greyed, const QRect& place);

// The wait screen's clock: the frames of one turn of its hand, and the clip made of them.
std::vector<QImage> clockFrames();
QByteArray clockClip();
