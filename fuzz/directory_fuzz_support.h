#pragma once
// What the users and groups fuzzers share: a silent Ui whose answers come
// from the input, a fresh network directory per run, and a context on it.
#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace nvfuzz {

// Answers every question from a bit of the input; shows nothing.
class SilentUi final : public nv::Ui {
public:
    explicit SilentUi(std::uint32_t bits = 0) : m_bits(bits) {}
    nv::MsgAnswer message(nv::MsgKind, const QString &text, nv::MsgButtons buttons) override
    {
        lastText = text; // told when a check fails
        if (buttons != nv::MsgButtons::YesNo)
            return nv::MsgAnswer::Ok;
        return nextBit() ? nv::MsgAnswer::Yes : nv::MsgAnswer::No;
    }
    bool nextBit()
    {
        const bool b = m_bits & 1u;
        m_bits = (m_bits >> 1) | (b ? 0x80000000u : 0u);
        return b;
    }
    void beep(int) override {}
    void restoreApp() override {}
    void bringToFront() override {}
    void flash() override {}
    bool isMinimized() const override { return false; }
    void minimizeApp() override {}
    int showModal(QObject *) override { return 0; }
    void help(int) override {}

    QString lastText;

private:
    std::uint32_t m_bits;
};

// The network directory: made once, emptied before every run.
inline const QString &networkDir()
{
    static QTemporaryDir *dir = new QTemporaryDir; // lives until the process ends
    // Joined by hand: QDir takes a name that begins with ':' for a resource path.
    QDir d(dir->path());
    for (const QString &e : d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString full = dir->path() + QLatin1Char('/') + e;
        QFileInfo fi(full);
        if (fi.isDir() && !fi.isSymLink())
            QDir(full).removeRecursively();
        else
            ::unlink(QFile::encodeName(full).constData());
    }
    static const QString path = dir->path();
    return path;
}

inline bool writeFile(const QString &path, const std::uint8_t *data, size_t size)
{
    nv::Files files;
    return files.writeWhole(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
}

inline std::uint32_t bitsOf(const std::uint8_t *data, size_t size)
{
    std::uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

// A workstation on the network directory.
struct Station {
    explicit Station(std::uint32_t bits) : ui(bits)
    {
        ctx.ServerDir = networkDir();
        ctx.enterAdminPassword = [this](QString &password) {
            if (!ui.nextBit())
                return false;
            password = QStringLiteral("fuzzpass");
            return true;
        };
    }
    SilentUi ui;
    nv::Files files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{1};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
};

// A broken promise of the code under test.
#define NV_FUZZ_CHECK(cond)                                                                                            \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            std::abort();                                                                                              \
    } while (0)

} // namespace nvfuzz
