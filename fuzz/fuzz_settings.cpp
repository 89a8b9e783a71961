// Settings values of any characters: what SaveSetting stores, GetSetting
// reads back unchanged, a neighbouring key and another section keep their
// values, an absent key reads as the default, and no write fails.
//
// Input: one byte for the text form, one byte for the length in bytes of
// the first value, the first value, then the second value.

#include "FuzzSupport.h"

#include "settings/SettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString App = QStringLiteral("Morvaneo");
const QString Config = QStringLiteral("Config");
const QString Recent = QStringLiteral("RecentFiles");
const QString KeptPath = QStringLiteral("/home/user/scripts/first script.mvn5");

// One store for the whole run, in a folder of its own.
void ensureStore()
{
    static QTemporaryDir* dir = [] {
        // Every write ends with a flush to disk; in memory-backed /dev/shm
        // that costs nothing, so the fuzzer runs a hundred times faster.
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        auto* d = shm.isDir() && shm.isWritable()
                      ? new QTemporaryDir(QStringLiteral("/dev/shm/morvaneo-fuzz-XXXXXX"))
                      : new QTemporaryDir;
        if (!d->isValid()) {
            std::fprintf(stderr, "cannot make a temporary folder for the settings store\n");
            std::abort();
        }
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(d->path()));
        Installable<Modal::Seam>::install(&fuzz::quietModal());
        SaveSetting(App, Recent, QStringLiteral("Recent1"), KeptPath);
        return d;
    }();
    (void)dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureStore();
    fuzz::Input in(data, size);
    const int form = in.byte();
    const size_t firstBytes = in.byte();
    const QString first = fuzz::textFrom(in.bytes(firstBytes), form);
    const QString second = fuzz::textFrom(in.rest(), form);

    SaveSetting(App, Config, QStringLiteral("DefaultOpen"), first);
    SaveSetting(App, Config, QStringLiteral("DefaultSave"), second);
    const QString readFirst = GetSetting(App, Config, QStringLiteral("DefaultOpen"), QStringLiteral("absent"));
    const QString readSecond = GetSetting(App, Config, QStringLiteral("DefaultSave"), QStringLiteral("absent"));
    FUZZ_CHECK(readFirst == first, "wrote " + fuzz::shown(first) + " read " + fuzz::shown(readFirst));
    FUZZ_CHECK(readSecond == second, "wrote " + fuzz::shown(second) + " read " + fuzz::shown(readSecond));
    FUZZ_CHECK(GetSetting(App, Recent, QStringLiteral("Recent1")) == KeptPath, fuzz::shown(first));
    FUZZ_CHECK(GetSetting(App, Config, QStringLiteral("NeverWritten"), first) == first, fuzz::shown(first));
    FUZZ_CHECK(!SettingsStore::writeFailed(), fuzz::shown(fuzz::quietModal().lastPrompt));
    FUZZ_CHECK(fuzz::quietModal().messages == 0, fuzz::shown(fuzz::quietModal().lastPrompt));
    return 0;
}
