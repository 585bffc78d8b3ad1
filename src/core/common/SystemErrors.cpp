#include "core/common/SystemErrors.h"

#include "core/common/Errors.h"

#include <QFileDevice>

#include <cerrno>

QString SystemErrorText(int Error, const QString& Fallback)
{
    switch (Error) {
    case ENOSPC:
        return QStringLiteral("На устройстве нет свободного места");
    case EFBIG:
        return QStringLiteral("Превышен допустимый размер файла");
    case EDQUOT:
        return QStringLiteral("Превышена дисковая квота");
    case EACCES:
    case EPERM:
        return QStringLiteral("Доступ запрещен");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения");
    case ENOENT:
        return QStringLiteral("Нет такого файла или папки");
    case ENOTDIR:
        return QStringLiteral("Часть пути не является папкой");
    case EISDIR:
        return QStringLiteral("Это папка, а не файл");
    case ELOOP:
        return QStringLiteral("Символические ссылки образуют петлю");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода");
    case EPIPE:
        return QStringLiteral("Читающая сторона канала закрыта");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Открыто слишком много файлов");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("Файл занят");
    case EBADF:
        return QStringLiteral("Неверный дескриптор файла");
    case EINVAL:
        return QStringLiteral("Недопустимый аргумент");
    case ENXIO:
        return QStringLiteral("Нет такого устройства или адреса");
    case ENODEV:
        return QStringLiteral("Нет такого устройства");
    case ENOMEM:
        return QStringLiteral("Недостаточно памяти");
    case EFAULT:
        return QStringLiteral("Неверный адрес");
    case ESPIPE:
        return QStringLiteral("Недопустимое перемещение в канале или устройстве");
    case ECONNRESET:
        return QStringLiteral("Соединение сброшено другой стороной");
    case ETIMEDOUT:
        return QStringLiteral("Время ожидания истекло");
    default:
        break;
    }
    if (!Fallback.isEmpty())
        return Fallback;
    return QStringLiteral("Системная ошибка %1").arg(Error);
}

QString WriteErrorMessage(int Error)
{
    const QString text = QStringLiteral("Не удалось записать данные.");
    return Error == 0 ? text : text + u' ' + SystemErrorText(Error) + u'.';
}

void WriteOrThrow(QIODevice& Out, const char* Data, qint64 Size)
{
    if (Out.write(Data, Size) == Size)
        return;
    const int error = qobject_cast<QFileDevice*>(&Out) ? errno : 0;
    throw EOrvantaError(WriteErrorMessage(error));
}
