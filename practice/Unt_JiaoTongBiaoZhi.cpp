#include "practice/Unt_JiaoTongBiaoZhi.h"

TFrm_JiaoTongBiaoZhi::TFrm_JiaoTongBiaoZhi(QWidget* owner)
    : ReaderForm(owner,
                 {"Frm_JiaoTongBiaoZhi", "JiaoTongBiaoZhi.rgb32", QRect(23, 136, 605, 441),
                  QRect(659, 157, 120, 51), QRect(660, 244, 120, 51), QRect(661, 450, 120, 51),
                  QRect(660, 347, 120, 51), "JiaoTongBiaoZhiBack.rgb32"})
{
    const NotifyEvent load = [this](QObject* s) { sbtnJinGaoBiaoZhiClick(s); };
    sbtnJinGaoBiaoZhi =
        addCategory("sbtnJinGaoBiaoZhi", {309, 22, 149, 27}, "\\html\\warning_sign.htm", load);
    SpeedButton1 =
        addCategory("SpeedButton1", {309, 58, 149, 27}, "\\html\\prohibit_sign.htm", load);
    SpeedButton2 = addCategory("SpeedButton2", {309, 93, 149, 27}, "\\html\\direct_sign.htm", load);
    SpeedButton3 =
        addCategory("SpeedButton3", {507, 23, 284, 27}, "\\html\\road_direct_sign.htm", load);
    SpeedButton4 =
        addCategory("SpeedButton4", {507, 58, 284, 27}, "\\html\\superway_sign.htm", load);
    SpeedButton5 = addCategory("SpeedButton5", {507, 92, 284, 27}, "\\html\\road_line.htm", load);
    addPageControls();
}

void TFrm_JiaoTongBiaoZhi::sbtnJinGaoBiaoZhiClick(QObject* sender)
{
    loadPageOf(sender);
    // The keys work on the new page at once, without a click into it first.
    WebBrowser->postFocus();
}
