#include "app/OtherFunc.h"
#include "app/gui/MainForm.h"
#include "consts/QuorbelConsts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(QuorbelConsts::ProductName));
    QApplication::setOrganizationName(QString::fromUtf16(QuorbelConsts::CompanyName));
    SetOpenDocumentHandler([](const QString& target) { QDesktopServices::openUrl(QUrl::fromUserInput(target)); });

    TMainForm form;
    form.show();
    return app.exec();
}
