#include "settings/inisyntax.h"

#include <QDataStream>
#include <QVariant>

namespace {

bool isHexDigit(uint ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return ch - 'A' + 10;
}

bool isOctalDigit(char ch)
{
    return ch >= '0' && ch <= '7';
}

// The one-letter escapes QSettings writes, and what they stand for.
char simpleEscape(char letter)
{
    switch (letter) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"': return '"';
    case '\\': return '\\';
    default: return 0;
    }
}

void chopTrailingBlanks(QString& text, qsizetype limit)
{
    qsizetype n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

// Arguments of "@Rect(1 2 3 4)" and the like, counted as QSettings counts them.
int argumentCount(const QString& stored, qsizetype openParen)
{
    int count = 0;
    for (qsizetype i = openParen + 1; i < stored.size(); ++i) {
        if (stored.at(i) == QLatin1Char(')') || stored.at(i) == QLatin1Char(' '))
            ++count;
    }
    return count;
}

// Types whose stream form is read without allocating what the data claims;
// other @Variant payloads are not decoded (see serializedText).
bool isPlainStreamedType(quint32 typeId)
{
    switch (typeId) {
    case 1:  // bool
    case 2:  // int
    case 3:  // uint
    case 4:  // qlonglong
    case 5:  // qulonglong
    case 6:  // double
    case 7:  // QChar
    case 10: // QString
    case 12: // QByteArray
    case 14: // QDate
    case 15: // QTime
    case 16: // QDateTime
    case 17: // QUrl
        return true;
    default:
        return false;
    }
}

} // namespace

QString IniSyntax::normalizedPath(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('/'))
        && !path.contains(QLatin1String("//")))
        return path;
    QString result;
    result.reserve(path.size());
    for (const QChar ch : path) {
        if (ch == QLatin1Char('/') && (result.isEmpty() || result.endsWith(QLatin1Char('/'))))
            continue;
        result += ch;
    }
    if (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QByteArray IniSyntax::escapedKey(const QString& key)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    QByteArray result;
    result.reserve(key.size() * 3 / 2);
    for (const QChar qch : key) {
        uint ch = qch.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')
                   || ch == '_' || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%';
            result += hexDigits[ch / 16];
            result += hexDigits[ch % 16];
        } else {
            result += "%U";
            char code[4];
            for (int i = 3; i >= 0; --i) {
                code[i] = hexDigits[ch % 16];
                ch >>= 4;
            }
            result.append(code, 4);
        }
    }
    return result;
}

QString IniSyntax::unescapedKey(const char* data, qsizetype size)
{
    const QString decoded = QString::fromUtf8(data, int(size));
    const qsizetype length = decoded.size();
    QString result;
    result.reserve(length);
    qsizetype i = 0;
    while (i < length) {
        const QChar ch = decoded.at(i);
        if (ch == QLatin1Char('\\')) {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != QLatin1Char('%') || i == length - 1) {
            result += ch;
            ++i;
            continue;
        }
        int digits = 2;
        qsizetype first = i + 1;
        if (decoded.at(first) == QLatin1Char('U')) {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code = first + digits <= length ? decoded.mid(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

QByteArray IniSyntax::escapedValue(const QString& text)
{
    // How QSettings turns a QString into stored text before escaping it.
    QString stored = text;
    if (stored.contains(QChar(0)))
        stored = QLatin1String("@String(") + stored + QLatin1Char(')');
    else if (stored.startsWith(QLatin1Char('@')))
        stored.prepend(QLatin1Char('@'));

    QByteArray result;
    result.reserve(stored.size() * 3 / 2);
    QString plainRun; // encoded in one go, so surrogate pairs stay whole
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    const auto flushPlain = [&] {
        result += plainRun.toUtf8();
        plainRun.clear();
    };
    for (const QChar qch : stored) {
        const uint ch = qch.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(ch)) {
            flushPlain();
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        const char* escape = nullptr;
        switch (ch) {
        case '\0': escape = "\\0"; escapeNextIfDigit = true; break;
        case '\a': escape = "\\a"; break;
        case '\b': escape = "\\b"; break;
        case '\f': escape = "\\f"; break;
        case '\n': escape = "\\n"; break;
        case '\r': escape = "\\r"; break;
        case '\t': escape = "\\t"; break;
        case '\v': escape = "\\v"; break;
        case '"': escape = "\\\""; break;
        case '\\': escape = "\\\\"; break;
        default: break;
        }
        if (escape) {
            flushPlain();
            result += escape;
        } else if (ch <= 0x1F) {
            flushPlain();
            result += "\\x" + QByteArray::number(ch, 16);
            escapeNextIfDigit = true;
        } else {
            plainRun += qch;
        }
    }
    flushPlain();
    if (needsQuotes || (!result.isEmpty() && (result.startsWith(' ') || result.endsWith(' ')))) {
        result.prepend('"');
        result.append('"');
    }
    return result;
}

QString IniSyntax::valueText(const char* data, qsizetype size)
{
    return variantText(decodedValue(data, size));
}

QString IniSyntax::decodedValue(const char* data, qsizetype size)
{
    QString result;
    // Blanks before this length are not trailing blanks: escaped, quoted or
    // separated from the end by something that is not a blank.
    qsizetype chopLimit = 0;
    bool quoted = false;
    bool inQuotes = false;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < size && (data[i] == ' ' || data[i] == '\t'))
            ++i;
    };

    skipBlanks();
    while (i < size) {
        const char ch = data[i];
        if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = result.size();
            }
            continue;
        }
        if (ch != '\\') {
            qsizetype end = i + 1;
            while (end < size && data[end] != '\\' && data[end] != '"')
                ++end;
            result += QString::fromUtf8(data + i, int(end - i));
            i = end;
            continue;
        }

        const char next = i + 1 < size ? data[i + 1] : 0;
        if (i + 1 < size && simpleEscape(next)) {
            result += QLatin1Char(simpleEscape(next));
            i += 2;
        } else if (next == 'x' && i + 2 < size && isHexDigit(uchar(data[i + 2]))) {
            ushort code = 0;
            for (i += 2; i < size && isHexDigit(uchar(data[i])); ++i)
                code = ushort((code << 4) + hexValue(data[i]));
            result += QChar(code);
        } else if (next == '0' && i + 1 < size) {
            ushort code = 0;
            for (i += 2; i < size && isOctalDigit(data[i]); ++i)
                code = ushort((code << 3) + (data[i] - '0'));
            result += QChar(code);
        } else {
            // Not an escape QSettings writes: a person's backslash, kept.
            result += QLatin1Char('\\');
            ++i;
        }
        chopLimit = result.size();
    }
    if (!quoted)
        chopTrailingBlanks(result, chopLimit);
    return result;
}

// What QVariant::toString() gives for the value QSettings makes of the text.
QString IniSyntax::variantText(const QString& stored)
{
    if (!stored.startsWith(QLatin1Char('@')))
        return stored;
    if (stored.endsWith(QLatin1Char(')'))) {
        if (stored.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(stored.mid(11, stored.size() - 12).toLatin1());
        if (stored.startsWith(QLatin1String("@String(")))
            return stored.mid(8, stored.size() - 9);
        if (stored.startsWith(QLatin1String("@Variant(")) || stored.startsWith(QLatin1String("@DateTime(")))
            return serializedText(stored);
        // Geometry has no text form.
        if (stored.startsWith(QLatin1String("@Rect("))) {
            if (argumentCount(stored, 5) == 4)
                return QString();
        } else if (stored.startsWith(QLatin1String("@Size("))) {
            if (argumentCount(stored, 5) == 2)
                return QString();
        } else if (stored.startsWith(QLatin1String("@Point("))) {
            if (argumentCount(stored, 6) == 2)
                return QString();
        } else if (stored == QLatin1String("@Invalid()")) {
            return QString();
        }
    }
    if (stored.startsWith(QLatin1String("@@")))
        return stored.mid(1);
    return stored;
}

// A value a Qt host stored through QDataStream. Scalars, strings, dates and
// URLs read as the host reads them; containers and other types are kept as
// their stored text, since decoding them would allocate whatever the data
// claims.
QString IniSyntax::serializedText(const QString& stored)
{
    const bool dateTime = stored.at(1) == QLatin1Char('D');
    const QByteArray bytes = stored.mid(dateTime ? 10 : 9).toLatin1();
    if (bytes.size() >= 4) {
        const quint32 typeId = (quint32(uchar(bytes.at(0))) << 24) | (quint32(uchar(bytes.at(1))) << 16)
            | (quint32(uchar(bytes.at(2))) << 8) | quint32(uchar(bytes.at(3)));
        if (!isPlainStreamedType(typeId))
            return stored;
    }
    QDataStream stream(bytes);
    stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
    QVariant value;
    stream >> value;
    return value.toString();
}
