#include "gui/FormPosition.h"

#include "core/common/Errors.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

void LoadFormPosition(QWidget* Form)
{
    if (!Form)
        return;
    const auto left = ReadSetting(SettingsKeys::MainFormLeft);
    const auto top = ReadSetting(SettingsKeys::MainFormTop);
    const auto width = ReadSetting(SettingsKeys::MainFormWidth);
    const auto height = ReadSetting(SettingsKeys::MainFormHeight);
    const bool placed = left && top && width && height;
    // The screen the window was on, if it is still there; else the main one.
    const QScreen* screen = placed ? QGuiApplication::screenAt(QRect(*left, *top, *width, *height).center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QSize outer = Form->frameGeometry().size();
    Form->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);

    switch (ReadSetting(SettingsKeys::MainFormState).value_or(0)) {
    case 1:
        Form->setWindowState(Form->windowState() | Qt::WindowMinimized);
        break;
    case 2:
        Form->setWindowState(Form->windowState() | Qt::WindowMaximized);
        break;
    default:
        break;
    }
    if ((Form->windowState() & NotNormal) || !placed)
        return;

    // A size saved on a larger screen, or at another scale, is cut to this screen's room rather than
    // filling it: the window stays an ordinary window, whole on screen. resize() keeps to its minimum size.
    const QSize frame = Form->frameGeometry().size() - Form->size();
    Form->resize(std::min(*width, area.width() - frame.width()), std::min(*height, area.height() - frame.height()));
    outer = Form->frameGeometry().size();
    Form->move(std::max(area.left(), std::min(*left, area.left() + area.width() - outer.width())),
        std::max(area.top(), std::min(*top, area.top() + area.height() - outer.height())));
}

bool SaveFormPosition(QWidget* Form)
{
    if (!Form)
        return false;
    try {
        if (!TSettingsStore::OpenKey())
            return false;
        const bool normal = !(Form->windowState() & NotNormal);
        WriteSetting(SettingsKeys::MainFormState, normal ? 0 : 2);
        if (normal) {
            WriteSetting(SettingsKeys::MainFormLeft, Form->x());
            WriteSetting(SettingsKeys::MainFormTop, Form->y());
            WriteSetting(SettingsKeys::MainFormWidth, Form->width());
            WriteSetting(SettingsKeys::MainFormHeight, Form->height());
        }
        return true;
    } catch (const EOrvantaError&) {
        return false;
    }
}
