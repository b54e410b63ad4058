// The INI text syntax exactly as Qt's QSettings writes it, and our reading of
// it. A Qt host reads what we write as the text we meant, and we read what a
// Qt host wrote as it reads it. What a person typed is kept as typed where
// QSettings would mangle it: a comma is text, not a list separator, and a
// backslash that does not start an escape QSettings writes stays a backslash.
#ifndef INISYNTAX_H
#define INISYNTAX_H

#include <QByteArray>
#include <QString>

class IniSyntax
{
public:
    // A settings path without leading, trailing or doubled slashes.
    static QString normalizedPath(const QString& path);

    // A key or section name: '/' is stored as '\', anything outside
    // [A-Za-z0-9_.-] as %XX or %UXXXX.
    static QByteArray escapedKey(const QString& key);
    static QString unescapedKey(const char* data, qsizetype size);

    // A text value, quoted and escaped, UTF-8 encoded.
    static QByteArray escapedValue(const QString& text);
    // The text of a stored value (the bytes after '=').
    static QString valueText(const char* data, qsizetype size);

private:
    static QString decodedValue(const char* data, qsizetype size);
    static QString variantText(const QString& stored);
    static QString serializedText(const QString& stored);
};

#endif
