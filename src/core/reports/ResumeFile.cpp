#include "core/reports/ResumeFile.h"

#include "core/reports/JsonLines.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <new>

namespace {

// The input's name at the head of a sentence: "Файл "путь"".
QString Subject(const TBoundedInput& Input)
{
    QString name = Input.Name();
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    return name;
}

} // namespace

TResumeVerdicts ReadResume(TBoundedInput& Input)
{
    TResumeVerdicts out;
    QByteArray line;
    bool ended = false;
    try {
        while (Input.ReadLine(line, ended, ResumeMaxLine)) {
            line = line.trimmed();
            if (line.isEmpty())
                continue;
            const QJsonDocument doc = QJsonDocument::fromJson(line);
            const QJsonObject o = doc.object();
            const QString at = QCoreApplication::translate("ResumeFile", "%1, строка %2").arg(Subject(Input)).arg(Input.LineNumber());
            if (!ended && !doc.isObject()) {
                out.Warnings << QCoreApplication::translate("ResumeFile", "%1: последняя строка оборвана, она пропущена.").arg(at);
                continue;
            }
            if (!doc.isObject() || !o.value(u"name").isString() || !o.value(u"status").isString())
                throw EOrvantaError(QCoreApplication::translate("ResumeFile", "%1: это не строка вывода -f json.").arg(at));
            const QString status = o.value(u"status").toString();
            if (status == u"free" || status == u"taken")
                out.Judged.insert(o.value(u"name").toString(),
                    { status == u"free" ? TStatus::Free : TStatus::Taken, ViaOfCode(o.value(u"via").toString()),
                        o.value(u"server").toString(), o.value(u"reason").toString(),
                        CheckedOfText(o.value(u"checked").toString()) });
        }
    } catch (const std::bad_alloc&) {
        throw Input.OutOfMemory();
    }
    return out;
}

TResumeVerdicts ReadResumeFile(const QString& Path)
{
    TBoundedInput input(Path, ResumeMaxBytes);
    return ReadResume(input);
}
