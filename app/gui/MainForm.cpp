#include "app/gui/MainForm.h"

#include "consts/QuorbelConsts.h"

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QuorbelConsts::ProductTitle());
    resize(800, 600);
}
