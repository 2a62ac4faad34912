#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace {

struct ButtonKind
{
    QMessageBox::StandardButton button;
    int id;
};

std::vector<ButtonKind> buttonsFor(int flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT},
                {QMessageBox::Retry, IDRETRY},
                {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon iconFor(int flags)
{
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MessageBox(const QString& text, const QString& caption, int flags)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(iconFor(flags), caption, text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    const std::vector<ButtonKind> kinds = buttonsFor(flags);
    for (const ButtonKind& s : kinds) {
        box.addButton(s.button);
    }
    const size_t def = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
    box.setDefaultButton(kinds[def < kinds.size() ? def : 0].button);
    // Windows answers Esc and the close box with Cancel where there is one, else with
    // the only button; Yes/No boxes without Cancel ignore them.
    for (const ButtonKind& s : kinds) {
        if (s.id == IDCANCEL) {
            box.setEscapeButton(s.button);
        }
    }
    if (kinds.size() == 1) {
        box.setEscapeButton(kinds[0].button);
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonKind& s : kinds) {
        if (s.button == clicked) {
            return s.id;
        }
    }
    return kinds.size() == 1 ? kinds[0].id : IDCANCEL;
}
