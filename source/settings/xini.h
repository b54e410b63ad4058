// A fixed table of settings entries kept in memory and mirrored to one INI
// file. A derived class defines the table; XIni reads every entry from the
// file, writes missing keys back with their defaults, and re-reads or stores
// single entries. The file is shared with a Qt host that reads and writes it
// through QSettings: what we write reads in QSettings as our text, and only
// the lines we change are touched.
#ifndef XINI_H
#define XINI_H

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

class IniDocument;

// Result codes of every XIni operation; xini_getErrorMessage gives the text.
enum {
    XINI_OK = 0,
    XINI_FAIL = 1,
    XINI_INVALID_INDEX = 2,
    XINI_FILENAME_NOT_SET = 3,
    XINI_FILE_NOT_FOUND = 4,
    XINI_BAD_FILENAME = 5,
    XINI_CREATE_FAILED = 6,
    XINI_BAD_SIZE = 7
};

struct XIniEntry {
    QString section;
    QString key;
    QString value;    // always plain text
    QString defValue;
    bool crypt = false; // stored enciphered in the file
};

class XIni : public QObject
{
    Q_OBJECT
public:
    explicit XIni(QObject* parent = nullptr);

    int xini_setFileName(const QString& name);
    int xini_getFileName(QString& out) const;
    int xini_checkIndex(int index) const;
    void xini_getErrorMessage(int code, QString& out) const;
    int xini_setSize(int count);
    int xini_load(bool create);
    int xini_createFile();
    int xini_getValue(int index, QString& out);
    int xini_setValue(int index, const QString& value);

    // The value in memory, without lock or file access; empty for a bad index.
    QString xini_entryValue(int index) const;

    // What xini_load does with a file holding `text`, without the file:
    // every entry read from `text`, and `written` set to the text xini_load
    // would store, empty when it would store nothing.
    int loadText(const QByteArray& text, QByteArray* written);

protected:
    QVector<XIniEntry> entries;

private:
    int xini_readEntry(IniDocument* settings, int index);
    int xini_writeEntry(IniDocument* settings, int index, const QString& value);
    int createFile(bool onlyWhenMissing);
    void applyToFile(const std::function<void(IniDocument*)>& pass);
    static bool applyToText(const QByteArray& text, const std::function<void(IniDocument*)>& pass,
                            QByteArray* edited);

    QMutex mutex;
    QString fileName;
    const QString cryptPrefix;
    const QString notFoundMarker;
    QString keyPath;
    QString readValue;
};

#endif
