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
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!Form || !screen)
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
    if (Form->windowState() & NotNormal)
        return;

    const auto left = ReadSetting(SettingsKeys::MainFormLeft);
    const auto top = ReadSetting(SettingsKeys::MainFormTop);
    const auto width = ReadSetting(SettingsKeys::MainFormWidth);
    const auto height = ReadSetting(SettingsKeys::MainFormHeight);
    if (!left || !top || !width || !height)
        return;
    // resize() keeps to the window's minimum size.
    Form->resize(*width, *height);
    outer = Form->frameGeometry().size();
    if (area.width() < outer.width() || area.height() < outer.height()) {
        Form->move(*left, *top);
        Form->setWindowState(Form->windowState() | Qt::WindowMaximized);
        return;
    }
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
