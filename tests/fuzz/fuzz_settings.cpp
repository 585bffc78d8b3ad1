// The settings file: whatever reads as a settings file is written so that it reads back as the same values
// and the same foreign sections, and writing that again gives the same bytes.
#include "FuzzInput.h"
#include "core/settings/SettingsStore.h"

namespace
{

bool Same(const TSettingsStore::TValue& A, const TSettingsStore::TValue& B)
{
    using T = TSettingsStore::TValueType;
    if (A.Type != B.Type)
        return false;
    switch (A.Type) {
    case T::DWord:
        return A.DWord == B.DWord;
    case T::Binary:
        return A.Binary == B.Binary;
    case T::String:
        return A.String == B.String;
    }
    return false;
}

bool Same(const TSettingsStore::TContents& A, const TSettingsStore::TContents& B)
{
    if (A.ForeignSections != B.ForeignSections || A.Values.keys() != B.Values.keys())
        return false;
    for (auto it = A.Values.cbegin(); it != A.Values.cend(); ++it) {
        if (!Same(it.value(), B.Values.value(it.key())))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const auto contents = TSettingsStore::ParseFile(FuzzBytes(Data, Size));
    if (!contents)
        return 0;
    const QByteArray written = TSettingsStore::FormatFile(*contents);
    const auto again = TSettingsStore::ParseFile(written);
    if (!again)
        RoundTripDrift("written settings file does not parse");
    if (!Same(*contents, *again))
        RoundTripDrift("settings values");
    if (TSettingsStore::FormatFile(*again) != written)
        RoundTripDrift("settings file bytes");
    return 0;
}
