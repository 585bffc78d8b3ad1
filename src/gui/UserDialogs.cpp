#include "gui/UserDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon BoxIcon(TUserDialogs::TIcon Icon)
{
    switch (Icon) {
    case TUserDialogs::TIcon::None:
        break;
    case TUserDialogs::TIcon::Information:
        return QMessageBox::Information;
    case TUserDialogs::TIcon::Warning:
        return QMessageBox::Warning;
    case TUserDialogs::TIcon::Stop:
        return QMessageBox::Critical;
    case TUserDialogs::TIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class TRealDialogs : public TUserDialogs {
public:
    TAnswer Message(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon,
        TButtons Buttons) override
    {
        QMessageBox box(Parent);
        box.setWindowTitle(Title);
        box.setText(Text);
        box.setIcon(BoxIcon(Icon));
        if (Buttons == TButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        const int result = box.exec();
        if (Buttons == TButtons::Ok)
            return TAnswer::Ok;
        return result == QMessageBox::Yes ? TAnswer::Yes : TAnswer::No;
    }

    void Notify(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon) override
    {
        auto* box = new QMessageBox(BoxIcon(Icon), Title, Text, QMessageBox::Ok, Parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        // An address or a reason in it can be copied.
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->open();
    }

    QString OpenFileName(QWidget* Parent, const QString& Title, const QString& Filter, const QString& Folder) override
    {
        return QFileDialog::getOpenFileName(Parent, Title, Folder, Filter);
    }

    QString SaveFileName(QWidget* Parent, const QString& Title, const QString& Filter, const QString& DefaultSuffix,
        const QString& FileName) override
    {
        QFileDialog dialog(Parent, Title, QString(), Filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(DefaultSuffix);
        // A folder is where the dialog starts; a file name is proposed.
        if (!FileName.isEmpty() && QFileInfo(FileName).isDir())
            dialog.setDirectory(FileName);
        else if (!FileName.isEmpty())
            dialog.selectFile(FileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

TUserDialogs* Installed = nullptr;

} // namespace

TUserDialogs& UserDialogs()
{
    static TRealDialogs real;
    return Installed ? *Installed : real;
}

void SetUserDialogs(TUserDialogs* Dialogs)
{
    Installed = Dialogs;
}

void ShowInformation(QWidget* Parent, const QString& Title, const QString& Text)
{
    UserDialogs().Message(Parent, Title, Text, TUserDialogs::TIcon::Information);
}

bool AskYesNo(QWidget* Parent, const QString& Title, const QString& Text)
{
    return UserDialogs().Message(Parent, Title, Text, TUserDialogs::TIcon::Question, TUserDialogs::TButtons::YesNo)
        == TUserDialogs::TAnswer::Yes;
}

QString AddDefaultExtension(const QString& FileName, const QString& DefaultSuffix)
{
    if (FileName.isEmpty() || DefaultSuffix.isEmpty() || !QFileInfo(FileName).suffix().isEmpty())
        return FileName;
    return FileName + u'.' + DefaultSuffix;
}
