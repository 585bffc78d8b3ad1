#include "gui/FormPosition.h"

#include "core/common/Errors.h"
#include "core/settings/SettingsStore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

std::optional<int> ReadInt(const char16_t* ValueName)
{
    // Stored as a 32-bit number; a left edge of -300 comes back as 0xFFFFFED4.
    if (const auto value = TSettingsStore::ReadDWord(QString::fromUtf16(ValueName)))
        return qint32(*value);
    return std::nullopt;
}

} // namespace

void LoadFormPosition(QWidget* Form)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!Form || !screen)
        return;
    const QRect area = screen->availableGeometry();
    QSize outer = Form->frameGeometry().size();
    Form->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);

    switch (ReadInt(u"MainForm_WS").value_or(0)) {
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

    const auto left = ReadInt(u"MainForm_L");
    const auto top = ReadInt(u"MainForm_T");
    const auto width = ReadInt(u"MainForm_W");
    const auto height = ReadInt(u"MainForm_H");
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
        TSettingsStore::WriteDWord(u"MainForm_WS"_qs, normal ? 0 : 2);
        if (normal) {
            TSettingsStore::WriteDWord(u"MainForm_L"_qs, quint32(Form->x()));
            TSettingsStore::WriteDWord(u"MainForm_T"_qs, quint32(Form->y()));
            TSettingsStore::WriteDWord(u"MainForm_W"_qs, quint32(Form->width()));
            TSettingsStore::WriteDWord(u"MainForm_H"_qs, quint32(Form->height()));
        }
        return true;
    } catch (const EOrvantaError&) {
        return false;
    }
}
