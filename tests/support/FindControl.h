#pragma once

#include <QApplication>
#include <QObject>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

// Tests reach a window's controls by their object names, as a user finds a control by its role, never
// through the window's fields. Each finder sets its last argument and says whether it found one: under
// QVERIFY a missing control fails the test with its name in the failed expression, and a warning names the
// type looked for.
template <typename T> bool FindControl(const QObject& Parent, const QString& Name, T*& Control)
{
    Control = Parent.findChild<T*>(Name);
    if (!Control)
        qWarning("%s has no %s named %s", Parent.metaObject()->className(), T::staticMetaObject.className(),
            qPrintable(Name));
    return Control != nullptr;
}

// True when every finder of the list found its control. The list runs them all, so the warnings name every control
// that is missing.
inline bool FoundAll(std::initializer_list<bool> Found)
{
    return std::all_of(Found.begin(), Found.end(), [](bool f) { return f; });
}

// A window of its own, such as the progress dialog, which no other window owns as a child.
template <typename T> bool FindWindow(const QString& Name, T*& Window)
{
    Window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == Name && qobject_cast<T*>(widget))
            Window = qobject_cast<T*>(widget);
    if (!Window)
        qWarning("no window %s named %s", T::staticMetaObject.className(), qPrintable(Name));
    return Window != nullptr;
}

// Whether Control is shown whole: inside Window, and not squashed below its own smallest height. A window too
// small for its controls cuts them off or squashes them. (The width is left alone: a combo box may be
// narrower than its longest text.)
inline bool ShownWhole(const QWidget& Window, const QWidget& Control)
{
    const int least = qMax(Control.minimumSizeHint().height(), Control.minimumHeight());
    return Control.isVisible() && Control.height() >= least
        && Window.rect().contains(QRect(Control.mapTo(&Window, QPoint(0, 0)), Control.size()));
}
