#include "gui/ErrorReport.h"

#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "gui/UserDialogs.h"

#include <new>

#include <QCoreApplication>

void ShowErrorReport(QWidget* Parent, std::exception_ptr Error)
{
    QString text;
    try {
        std::rethrow_exception(Error);
    } catch (const EOrvantaError& e) {
        text = e.Message();
    } catch (const std::bad_alloc&) {
        text = QCoreApplication::translate("TApplication", "Недостаточно памяти: действие не выполнено.");
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QCoreApplication::translate("TApplication", "Неизвестная ошибка.");
    }
    UserDialogs().Message(Parent, QString::fromUtf16(QuorbelConsts::ProductName), text, TUserDialogs::TIcon::Stop);
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        ShowErrorReport(activeWindow(), std::current_exception());
        return true;
    }
}
