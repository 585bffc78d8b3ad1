#pragma once

#include "core/common/QtTranslations.h"

#include <QApplication>
#include <exception>

class QWidget;

// The application's general error report: a message box titled with the product name, a stop icon and
// the error's text ("Недостаточно памяти: …" when memory ran out). The program goes on afterwards.
void ShowErrorReport(QWidget* Parent, std::exception_ptr Error);

// Runs Command and reports any error that escapes it, so that no exception crosses Qt's event loop.
template <typename F> void RunCommand(QWidget* Parent, F&& Command)
{
    try {
        Command();
    } catch (...) {
        ShowErrorReport(Parent, std::current_exception());
    }
}


// The last line of defence: an error escaping any event handler is reported instead of ending the program.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* Receiver, QEvent* Event) override;
};
