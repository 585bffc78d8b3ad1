#include "core/common/SystemErrors.h"

#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cerrno>

QString SystemErrorText(int Error, const QString& Fallback)
{
    switch (Error) {
    case ENOSPC:
        return QCoreApplication::translate("SystemErrors", "На устройстве нет свободного места");
    case EFBIG:
        return QCoreApplication::translate("SystemErrors", "Превышен допустимый размер файла");
    case EDQUOT:
        return QCoreApplication::translate("SystemErrors", "Превышена дисковая квота");
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("SystemErrors", "Доступ запрещен");
    case EROFS:
        return QCoreApplication::translate("SystemErrors", "Файловая система доступна только для чтения");
    case ENOENT:
        return QCoreApplication::translate("SystemErrors", "Нет такого файла или папки");
    case ENOTDIR:
        return QCoreApplication::translate("SystemErrors", "Часть пути не является папкой");
    case EISDIR:
        return QCoreApplication::translate("SystemErrors", "Это папка, а не файл");
    case ELOOP:
        return QCoreApplication::translate("SystemErrors", "Символические ссылки образуют петлю");
    case ENAMETOOLONG:
        return QCoreApplication::translate("SystemErrors", "Слишком длинное имя файла");
    case EIO:
        return QCoreApplication::translate("SystemErrors", "Ошибка ввода-вывода");
    case EPIPE:
        return QCoreApplication::translate("SystemErrors", "Читающая сторона канала закрыта");
    case EMFILE:
    case ENFILE:
        return QCoreApplication::translate("SystemErrors", "Открыто слишком много файлов");
    case EBUSY:
    case ETXTBSY:
        return QCoreApplication::translate("SystemErrors", "Файл занят");
    case EBADF:
        return QCoreApplication::translate("SystemErrors", "Неверный дескриптор файла");
    case EINVAL:
        return QCoreApplication::translate("SystemErrors", "Недопустимый аргумент");
    case ENXIO:
        return QCoreApplication::translate("SystemErrors", "Нет такого устройства или адреса");
    case ENODEV:
        return QCoreApplication::translate("SystemErrors", "Нет такого устройства");
    case ENOMEM:
        return QCoreApplication::translate("SystemErrors", "Недостаточно памяти");
    case EFAULT:
        return QCoreApplication::translate("SystemErrors", "Неверный адрес");
    case ESPIPE:
        return QCoreApplication::translate("SystemErrors", "Недопустимое перемещение в канале или устройстве");
    case ECONNRESET:
        return QCoreApplication::translate("SystemErrors", "Соединение сброшено другой стороной");
    case ETIMEDOUT:
        return QCoreApplication::translate("SystemErrors", "Время ожидания истекло");
    default:
        break;
    }
    if (!Fallback.isEmpty())
        return Fallback;
    return QCoreApplication::translate("SystemErrors", "Системная ошибка %1").arg(Error);
}

QString WriteErrorMessage(int Error)
{
    const QString text = QCoreApplication::translate("SystemErrors", "Не удалось записать данные.");
    return Error == 0 ? text : text + u' ' + SystemErrorText(Error) + u'.';
}

void WriteOrThrow(QIODevice& Out, const char* Data, qint64 Size)
{
    if (Out.write(Data, Size) == Size)
        return;
    const int error = qobject_cast<QFileDevice*>(&Out) ? errno : 0;
    throw EOrvantaError(WriteErrorMessage(error));
}
