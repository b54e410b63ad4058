// Loads arbitrary bytes as the system settings file, in memory. The load
// completes with a value for every key; what it would write back keeps every
// byte the file had, in order (only insertions), unless a value held the
// not-found marker; loading that gives the same values and finds nothing
// left to write.
#include "settings/xinisystem.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool keepsEveryByte(const QByteArray& before, const QByteArray& after)
{
    int i = 0;
    for (int j = 0; i < before.size() && j < after.size(); ++j) {
        if (before.at(i) == after.at(j))
            ++i;
    }
    return i == before.size();
}

// The values of every key after loading `text`; `written` what the load
// would store.
QStringList load(XIniSystem& ini, const QByteArray& text, QByteArray* written)
{
    if (ini.loadText(text, written) != XINI_OK)
        std::abort();
    QStringList values;
    for (int key = 0; key < XINISYS_KEY_COUNT; ++key) {
        values << ini.xini_entryValue(key);
        if (values.last() == QLatin1String("inikeynotfound"))
            std::abort();
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static XIniSystem ini;
    static const int ready = ini.xinisys_init(QStringLiteral("/nonexistent/vantel-fuzz/system.ini"));
    if (ready != XINI_OK)
        std::abort();
    const QByteArray before(reinterpret_cast<const char*>(data), int(size));
    QByteArray after;
    const QStringList values = load(ini, before, &after);
    if (after.isEmpty())
        return 0;
    if (!before.contains("inikeynotfound") && !keepsEveryByte(before, after))
        std::abort();
    QByteArray again;
    if (load(ini, after, &again) != values || !again.isEmpty())
        std::abort();
    return 0;
}
