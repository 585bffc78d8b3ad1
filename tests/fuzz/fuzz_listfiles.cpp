// List files: any bytes decode; whatever text results is written so that it reads back unchanged.
#include "FuzzInput.h"
#include "core/settings/ListFiles.h"

#include <cstring>

namespace
{

QString Breaks(QString Text)
{
    Text.replace(u"\r\n"_qs, u"\n"_qs);
    Text.replace(u'\r', u'\n');
    return Text;
}

void CheckText(const QString& Text)
{
    const QString expected = Breaks(Text);
    if (DecodeListText(EncodeListText(Text)) != expected)
        RoundTripDrift("list text");
    (void)SplitListLines(expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArray bytes = FuzzBytes(Data, Size);
    CheckText(DecodeListText(bytes));

    // The same bytes as UTF-16 code units reach texts no decoder produces, lone surrogates among them.
    QString units(qsizetype(Size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), Data, (Size / 2) * 2);
    CheckText(units);

    // Every byte has its 1251 character and back.
    if (EncodeCp1251(DecodeCp1251(bytes)) != bytes)
        RoundTripDrift("1251 bytes");
    return 0;
}
