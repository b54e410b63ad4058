// The C boundary: nothing may escape it, not even std::bad_alloc.
#include "tracel.h"

#include <cstdarg>
#include <string>

#include "logformat.h"
#include "logregistry.h"

using tracel::LogRegistry;

extern "C" {

TRACEL_HANDLE TRACEL_OpenDebugLog(const char16_t* name)
{
    if (!name)
        return 0;
    try {
        return LogRegistry::instance().open(name);
    } catch (...) {
        return 0;
    }
}

void TRACEL_PrintDebugLog(TRACEL_HANDLE handle, int mask, const char16_t* format, ...)
{
    if (handle == 0 || !format)
        return;
    va_list args;
    va_start(args, format);
    try {
        const auto file = LogRegistry::instance().find(handle);
        if (file && file->accepts(mask)) {
            std::string text;
            tracel::formatLine(text, format, args, file->textLimit());
            file->write(mask, text);
        }
    } catch (...) {
    }
    va_end(args);
}

void TRACEL_CloseDebugLog(TRACEL_HANDLE handle)
{
    if (handle == 0)
        return;
    try {
        LogRegistry::instance().close(handle);
    } catch (...) {
    }
}

} // extern "C"
