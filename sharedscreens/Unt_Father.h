#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

// The base of the full-screen mock-exam screens: 800 × 600 without border, one
// background picture that each descendant fills, freed when it closes.
class TFrm_Father : public Form
{
    Q_OBJECT
public:
    explicit TFrm_Father(QWidget* owner = nullptr);

    Picture* imgPicture;

protected:
    // Descendants that close with work of their own do it first, then call this one.
    void FormClose(CloseAction& action) override;
};
