#include "practice/Unt_JiaoTongFaGui.h"

TFrm_JiaoTongFaGui::TFrm_JiaoTongFaGui(QWidget* owner)
    : ReaderForm(owner,
                 {"Frm_JiaoTongFaGui", "JiaoTongFaGui.rgb32", QRect(32, 204, 626, 381),
                  QRect(674, 225, 120, 51), QRect(674, 326, 120, 51), QRect(674, 495, 120, 51),
                  QRect(674, 412, 120, 51), "JiaoTongFaGuiBack.rgb32"})
{
    const NotifyEvent load = [this](QObject* s) { sbtnGuanLiTiaoLiClick(s); };
    sbtnGuanLiTiaoLi =
        addCategory("sbtnGuanLiTiaoLi", {18, 63, 334, 27}, "\\html\\Trafficrg1.htm", load);
    SpeedButton1 = addCategory("SpeedButton1", {18, 90, 334, 27}, "\\html\\Supperhw.htm", load);
    SpeedButton2 = addCategory("SpeedButton2", {18, 117, 334, 27}, "\\html\\carreg.htm", load);
    SpeedButton3 = addCategory("SpeedButton3", {18, 144, 334, 27}, "\\html\\driverexam.htm", load);
    SpeedButton4 = addCategory("SpeedButton4", {18, 171, 334, 27}, "\\html\\driverlcs.htm", load);
    SpeedButton5 = addCategory("SpeedButton5", {381, 56, 334, 27}, "\\html\\Accident.htm", load);
    SpeedButton6 =
        addCategory("SpeedButton6", {381, 84, 334, 27}, "\\html\\Accidenttreat.htm", load);
    SpeedButton7 =
        addCategory("SpeedButton7", {381, 113, 334, 27}, "\\html\\drivertrain.htm", load);
    SpeedButton8 = addCategory("SpeedButton8", {381, 141, 334, 27}, "\\html\\violate.htm", load);
    SpeedButton9 = addCategory("SpeedButton9", {381, 168, 392, 27}, "\\html\\drivergrd.htm", load);
    addPageControls();
}

void TFrm_JiaoTongFaGui::sbtnGuanLiTiaoLiClick(QObject* sender)
{
    loadPageOf(sender);
}
