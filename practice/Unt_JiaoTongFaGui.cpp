#include "practice/Unt_JiaoTongFaGui.h"

TFrm_JiaoTongFaGui::TFrm_JiaoTongFaGui(QWidget* owner)
    : ReaderForm(owner,
                 {"Frm_JiaoTongFaGui", "JiaoTongFaGui.rgb32", QRect(32, 204, 626, 381),
                  QRect(674, 225, 120, 51), QRect(674, 326, 120, 51), QRect(674, 495, 120, 51),
                  QRect(674, 412, 120, 51), "JiaoTongFaGuiBack.rgb32"})
{
    const NotifyEvent load = [this](QObject* s) { sbtnGuanLiTiaoLiClick(s); };
    // The background draws the faces on rows that both columns share; the click areas of
    // the left column lie 3 pixels below them, those of the right column up to 4 above.
    const auto face = [](const QRect& place) {
        const int row = (place.top() - 56 + 13) / 27;
        return QRect(place.left(), 60 + 27 * row, 334, 27);
    };
    const auto add = [&](const char* name, const QRect& place, const char* page) {
        return addCategory(name, place, page, load, face(place));
    };
    sbtnGuanLiTiaoLi = add("sbtnGuanLiTiaoLi", {18, 63, 334, 27}, "\\html\\Trafficrg1.htm");
    SpeedButton1 = add("SpeedButton1", {18, 90, 334, 27}, "\\html\\Supperhw.htm");
    SpeedButton2 = add("SpeedButton2", {18, 117, 334, 27}, "\\html\\carreg.htm");
    SpeedButton3 = add("SpeedButton3", {18, 144, 334, 27}, "\\html\\driverexam.htm");
    SpeedButton4 = add("SpeedButton4", {18, 171, 334, 27}, "\\html\\driverlcs.htm");
    SpeedButton5 = add("SpeedButton5", {381, 56, 334, 27}, "\\html\\Accident.htm");
    SpeedButton6 = add("SpeedButton6", {381, 84, 334, 27}, "\\html\\Accidenttreat.htm");
    SpeedButton7 = add("SpeedButton7", {381, 113, 334, 27}, "\\html\\drivertrain.htm");
    SpeedButton8 = add("SpeedButton8", {381, 141, 334, 27}, "\\html\\violate.htm");
    SpeedButton9 = add("SpeedButton9", {381, 168, 392, 27}, "\\html\\drivergrd.htm");
    // The signals page and the pages of subject four, beside the right column.
    sbtnXinHao = addCategory("sbtnXinHao", {722, 60, 72, 54}, "\\html\\signal.htm", load);
    sbtnKeMuSi = addCategory("sbtnKeMuSi", {722, 114, 72, 54}, "\\html\\safedrive.htm", load);
    frameAlso(sbtnKeMuSi, "safeaid.htm");
    addPageControls();
}

void TFrm_JiaoTongFaGui::sbtnGuanLiTiaoLiClick(QObject* sender)
{
    loadPageOf(sender);
}
