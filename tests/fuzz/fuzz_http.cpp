// The HTTP response reader: any bytes, in any pieces, give the same whole response or the same failure as
// when they come at once, and never a body past its limit.
#include "FuzzInput.h"
#include "core/checks/HttpExchange.h"

namespace {

constexpr qint64 MaxBody = 4096;

struct TOutcome {
    THttpResponseReader::TState State;
    THttpAnswer Answer;
};

// Feeds Bytes in pieces whose sizes cycle through Pieces, then closes when the response wants more.
TOutcome Read(const QByteArray& Bytes, const QByteArray& Pieces)
{
    THttpResponseReader reader(MaxBody);
    THttpResponseReader::TState state = THttpResponseReader::TState::More;
    qsizetype at = 0;
    for (qsizetype i = 0; at < Bytes.size() && state == THttpResponseReader::TState::More; ++i) {
        const qsizetype size = Pieces.isEmpty() ? Bytes.size() : 1 + static_cast<unsigned char>(Pieces[i % Pieces.size()]) % 16;
        state = reader.Feed(Bytes.mid(at, size));
        at += size;
    }
    if (state == THttpResponseReader::TState::More)
        state = reader.Close();
    return { state, reader.Answer() };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 4)
        return 0;
    // The first four bytes choose how the rest is cut into pieces.
    const QByteArray pieces = FuzzBytes(Data, 4);
    const QByteArray bytes = FuzzBytes(Data + 4, Size - 4);
    const TOutcome whole = Read(bytes, {});
    const TOutcome cut = Read(bytes, pieces);
    if (whole.State == THttpResponseReader::TState::More || cut.State == THttpResponseReader::TState::More)
        std::abort();
    if (whole.Answer.Body.size() > MaxBody || cut.Answer.Body.size() > MaxBody)
        std::abort();
    if (whole.State != cut.State || whole.Answer.Status != cut.Answer.Status || whole.Answer.Body != cut.Answer.Body)
        RoundTripDrift("a response read in pieces differs from the same bytes read at once");
    return 0;
}
