#include "settings/xini.h"

#include "settings/inidocument.h"
#include "settings/inifile.h"
#include "settings/keycipher.h"

#include <QFileInfo>
#include <QMutexLocker>

namespace {

// The key of enciphered entries. It is fixed for good: changing it would make
// every value already stored enciphered unreadable. It hides a value from a
// casual reader of the file; it is no secret, since every copy of the library
// holds it.
const quint32 kCipherKeyHigh = 0x5EC7A1B4u;
const quint32 kCipherKeyLow = 0x3D92F06Cu;
const quint64 kCipherKey = (quint64(kCipherKeyHigh) << 32) | kCipherKeyLow;

} // namespace

XIni::XIni(QObject* parent)
    : QObject(parent)
    , cryptPrefix(QStringLiteral("#C#"))
    , notFoundMarker(QStringLiteral("inikeynotfound"))
{
}

int XIni::xini_setFileName(const QString& name)
{
    if (name.isEmpty())
        return XINI_BAD_FILENAME;
    fileName = name;
    return XINI_OK;
}

int XIni::xini_getFileName(QString& out) const
{
    out = fileName;
    return XINI_OK;
}

int XIni::xini_checkIndex(int index) const
{
    return index >= 0 && index < entries.size() ? XINI_OK : XINI_INVALID_INDEX;
}

void XIni::xini_getErrorMessage(int code, QString& out) const
{
    static const char* const texts[] = {
        "ok",
        "fail",
        "invalid index",
        "file name not set",
        "file not found",
        "bad file name",
        "fail to create new ini setting",
        "data not valid size",
    };
    const int count = int(sizeof(texts) / sizeof(texts[0]));
    out = QLatin1String(code >= 0 && code < count ? texts[code] : "index for message not managed");
}

int XIni::xini_setSize(int count)
{
    if (count < 1)
        return XINI_BAD_SIZE;
    entries.clear();
    entries.resize(count);
    return XINI_OK;
}

int XIni::xini_load(bool create)
{
    if (fileName.isEmpty())
        return XINI_FILENAME_NOT_SET;
    if (create && !QFileInfo::exists(fileName))
        createFile(true);

    QMutexLocker locker(&mutex);
    applyToFile([this](IniDocument* settings) {
        for (int i = 0; i < entries.size(); ++i)
            xini_readEntry(settings, i);
    });
    return XINI_OK;
}

int XIni::loadText(const QByteArray& text, QByteArray* written)
{
    written->clear();
    QMutexLocker locker(&mutex);
    applyToText(text, [this](IniDocument* settings) {
        for (int i = 0; i < entries.size(); ++i)
            xini_readEntry(settings, i);
    }, written);
    return XINI_OK;
}

int XIni::xini_createFile()
{
    return createFile(false);
}

int XIni::xini_getValue(int index, QString& out)
{
    out.clear();
    if (xini_checkIndex(index) != XINI_OK)
        return XINI_INVALID_INDEX;
    QMutexLocker locker(&mutex);
    applyToFile([this, index](IniDocument* settings) { xini_readEntry(settings, index); });
    out = entries.at(index).value;
    return XINI_OK;
}

int XIni::xini_setValue(int index, const QString& value)
{
    if (xini_checkIndex(index) != XINI_OK)
        return XINI_INVALID_INDEX;
    if (fileName.isEmpty())
        return XINI_FILENAME_NOT_SET;
    QMutexLocker locker(&mutex);
    applyToFile([this, index, value](IniDocument* settings) { xini_writeEntry(settings, index, value); });
    return XINI_OK;
}

QString XIni::xini_entryValue(int index) const
{
    return xini_checkIndex(index) == XINI_OK ? entries.at(index).value : QString();
}

int XIni::xini_readEntry(IniDocument* settings, int index)
{
    XIniEntry& entry = entries[index];
    keyPath = entry.section + QLatin1Char('/') + entry.key;
    readValue = settings->value(keyPath, notFoundMarker);

    if (readValue == notFoundMarker) {
        QString text = entry.defValue;
        if (entry.crypt && !entry.defValue.isEmpty())
            text = cryptPrefix + KeyCipher(kCipherKey).encipherText(entry.defValue);
        settings->setValue(keyPath, text);
        entry.value = entry.defValue;
        return XINI_OK;
    }

    QString text = readValue;
    if (entry.crypt && !text.isEmpty()) {
        if (!text.startsWith(cryptPrefix, Qt::CaseInsensitive)) {
            // A plain value where an enciphered one belongs: store it enciphered.
            text = cryptPrefix + KeyCipher(kCipherKey).encipherText(text);
            settings->setValue(keyPath, text);
        }
        if (text.size() > cryptPrefix.size())
            text.remove(0, cryptPrefix.size());
        text = KeyCipher(kCipherKey).decipherText(text);
    }
    entry.value = text;
    return XINI_OK;
}

int XIni::xini_writeEntry(IniDocument* settings, int index, const QString& value)
{
    XIniEntry& entry = entries[index];
    keyPath = entry.section + QLatin1Char('/') + entry.key;
    QString text = value;
    if (entry.crypt)
        text = value.isEmpty() ? QString() : cryptPrefix + KeyCipher(kCipherKey).encipherText(value);
    entry.value = value;
    settings->setValue(keyPath, text);
    return XINI_OK;
}

// xini_load creates only a file that is still missing once the lock is held:
// a host that created it a moment earlier keeps its values.
int XIni::createFile(bool onlyWhenMissing)
{
    if (fileName.isEmpty())
        return XINI_FILENAME_NOT_SET;
    QMutexLocker locker(&mutex);
    applyToFile([this, onlyWhenMissing](IniDocument* settings) {
        if (onlyWhenMissing && !settings->isEmpty())
            return;
        for (int i = 0; i < entries.size(); ++i)
            xini_writeEntry(settings, i, entries.at(i).defValue);
    });
    return XINI_OK;
}

// Runs `pass` over the file as read. When the pass changes something and the
// file may be written, it runs again under the file lock on a fresh read, so
// that another writer's changes made meanwhile are kept, and the result is
// written once. Failures leave the file as it was and the table as the last
// pass left it: values read, defaults for the rest.
void XIni::applyToFile(const std::function<void(IniDocument*)>& pass)
{
    IniFile file(fileName);
    QByteArray text;
    IniFile::State state = file.read(&text);
    {
        IniDocument settings(text);
        pass(&settings);
        if (!settings.isModified())
            return;
    }
    if (state == IniFile::Unreadable || !file.isWritable() || !file.lock())
        return;

    state = file.read(&text);
    if (state == IniFile::Unreadable)
        return;
    QByteArray edited;
    if (applyToText(text, pass, &edited))
        file.write(edited);
}

// Runs `pass` over `text`; true, with the edited text in `edited`, when the
// pass changed something that renders back faithfully.
bool XIni::applyToText(const QByteArray& text, const std::function<void(IniDocument*)>& pass, QByteArray* edited)
{
    IniDocument settings(text);
    pass(&settings);
    return settings.isModified() && settings.render(edited);
}
