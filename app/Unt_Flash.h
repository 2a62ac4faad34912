#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

#include <QPixmap>

// The splash: two large words over whatever lies behind the window.
class TFrm_Flash : public Form
{
    Q_OBJECT
public:
    explicit TFrm_Flash(QWidget* owner = nullptr);

    // Shows the splash and paints it before any message loop runs.
    void showAtOnce();

    Label* Label1;
    Label* Label2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The window paints no background: it shows the screen as it was behind it.
    void CMEraseBkgnd();

    QPixmap m_behind;
};

extern TFrm_Flash* Frm_Flash;
