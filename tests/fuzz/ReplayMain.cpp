// Feeds every file of the seed folders given to the target's entry point once, without libFuzzer: the
// ordinary build compiles every target and runs its corpus, so neither rots between fuzzing runs.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

int main(int argc, char** argv)
{
    int fed = 0;
    for (int i = 1; i < argc; ++i) {
        QDirIterator files(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile f(files.next());
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
                return 1;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++fed;
        }
    }
    // An empty input is every target's first case, and a corpus folder that went missing shows up here.
    // libFuzzer hands a valid pointer even for no bytes.
    static const uint8_t none = 0;
    LLVMFuzzerTestOneInput(&none, 0);
    std::printf("%d seeds replayed\n", fed);
    return fed > 0 ? 0 : 1;
}
