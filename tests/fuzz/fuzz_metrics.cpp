// The metrics page: the first line is the Content-Type (its charset picks the decoder), the rest the body.
#include "FuzzInput.h"
#include "core/checks/SiteMetrics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArray bytes = FuzzBytes(Data, Size);
    const qsizetype eol = bytes.indexOf('\n');
    const QString contentType = QString::fromLatin1(eol < 0 ? QByteArray() : bytes.left(eol));
    const auto [pr, tic] = TSiteMetrics::ParsePage(eol < 0 ? bytes : bytes.mid(eol + 1), contentType);
    // An empty PR is shown as "-1".
    if (pr.isEmpty())
        std::abort();
    (void)tic;
    return 0;
}
