// The update list: its lines, and the version on the first compared with the program's own.
#include "FuzzInput.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"
#include "core/updates/Updates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QStringList lines = SplitListLines(DecodeListText(FuzzBytes(Data, Size)));
    if (lines.isEmpty())
        return 0;
    const QString& listed = lines.first();
    (void)ParseVersion(listed);
    (void)IsNewerVersion(listed, QString::fromUtf16(QuorbelConsts::ProductVersion));
    // No version is newer than itself.
    if (IsNewerVersion(listed, listed))
        std::abort();
    return 0;
}
