// The text of an INI file, read the way QSettings reads it and edited in
// place: a stored value replaces only its own value, a missing key is added
// at the end of its section, a missing section at the end of the text, and
// every other byte stays as it was (comments, order, line breaks, a person's
// spelling of values).
#ifndef INIDOCUMENT_H
#define INIDOCUMENT_H

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVector>

class IniDocument
{
public:
    explicit IniDocument(const QByteArray& text = QByteArray());

    // The text QSettings::value(path).toString() gives a Qt host, except that
    // a person's commas and backslashes stay (see IniSyntax); `defaultValue`
    // when the file has no such key.
    QString value(const QString& path, const QString& defaultValue);
    // Remembers `text` for `path`; render() puts it into the text.
    void setValue(const QString& path, const QString& text);
    bool isModified() const { return !edits.isEmpty(); }
    bool isEmpty() const { return data.isEmpty(); }

    // The text with every value set in place. Fails, and leaves `out` alone,
    // when the result would not read back the values set and the values read
    // so far; the file is then better left as it is.
    bool render(QByteArray* out);

private:
    // One logical line, as QSettings splits the text: a line ends at a line
    // break outside quotes, or before a ';' that starts a comment.
    struct Line {
        qsizetype start = 0;
        qsizetype length = 0;
        qsizetype equals = -1;
    };
    // The lines after one section header, up to the next header.
    struct Block {
        qsizetype begin;
        qsizetype end;
        bool hasHeader;
    };
    struct Section {
        QString path; // "Name/" as QSettings keys it; "" for [General]
        QVector<Block> blocks;
    };
    struct Edit {
        QString path;
        QString text;
    };
    struct Splice {
        qsizetype position;
        qsizetype removed;
        QByteArray text;
    };
    struct Reading {
        bool found;
        QString text;
    };

    bool readLine(qsizetype end, qsizetype& position, Line& line) const;
    void split();
    void addBlock(const QString& sectionPath, qsizetype begin, qsizetype end, bool hasHeader);
    bool find(const QString& path, Line* line);
    Reading read(const QString& path);
    void parseSection(int section);
    qsizetype insertionPoint(const QString& sectionPath) const;
    QByteArray lineBreak() const;
    Splice replacement(const Line& line, const QString& text) const;

    QByteArray data;
    qsizetype bodyStart = 0; // after a UTF-8 byte order mark
    QVector<Section> sections;
    QHash<QString, int> sectionIndex;
    // Sections not parsed yet, by path: QSettings parses a section only when
    // a key is looked up, and which section that is depends on this map.
    QMap<QString, int> unparsed;
    QHash<QString, Line> keys;

    // Every path looked up, in order, with what it read: render() checks
    // that the edited text still reads the same.
    QVector<QString> lookedUp;
    QHash<QString, Reading> readings;
    QVector<Edit> edits;
    QHash<QString, int> editIndex;
};

#endif
