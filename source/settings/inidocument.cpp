#include "settings/inidocument.h"

#include "settings/inisyntax.h"

#include <algorithm>

namespace {

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

bool isSpecial(char ch)
{
    return ch == '\n' || ch == '\r' || ch == '"' || ch == ';' || ch == '=' || ch == '\\';
}

bool isBreak(char ch)
{
    return ch == '\n' || ch == '\r';
}

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Length of the line break that ends `text` before `end`, 0 if none.
qsizetype breakBefore(const QByteArray& text, qsizetype end)
{
    if (end >= 2 && text.at(end - 2) == '\r' && text.at(end - 1) == '\n')
        return 2;
    return end >= 1 && isBreak(text.at(end - 1)) ? 1 : 0;
}

QByteArray sectionHeader(const QString& section)
{
    const QByteArray name = IniSyntax::escapedKey(section);
    if (name.isEmpty())
        return "[General]";
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return "[%General]";
    return '[' + name + ']';
}

} // namespace

IniDocument::IniDocument(const QByteArray& text)
    : data(text)
{
    split();
}

QString IniDocument::value(const QString& path, const QString& defaultValue)
{
    const QString key = IniSyntax::normalizedPath(path);
    const Reading reading = read(key);
    if (!readings.contains(key)) {
        lookedUp.append(key);
        readings.insert(key, reading);
    }
    return reading.found ? reading.text : defaultValue;
}

void IniDocument::setValue(const QString& path, const QString& text)
{
    const QString key = IniSyntax::normalizedPath(path);
    const auto known = editIndex.constFind(key);
    if (known != editIndex.constEnd()) {
        edits[*known].text = text;
        return;
    }
    editIndex.insert(key, edits.size());
    edits.append({key, text});
}

bool IniDocument::render(QByteArray* out)
{
    const QByteArray eol = lineBreak();
    QVector<Splice> splices;
    QVector<QString> newSections;
    QHash<QString, QByteArray> newSectionLines;

    for (const Edit& edit : qAsConst(edits)) {
        Line line;
        if (find(edit.path, &line)) {
            splices.append(replacement(line, edit.text));
            continue;
        }
        // QSettings files a path under its first component.
        const int slash = edit.path.indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : edit.path.left(slash);
        const QString key = slash < 0 ? edit.path : edit.path.mid(slash + 1);
        const QByteArray entry = IniSyntax::escapedKey(key) + '=' + IniSyntax::escapedValue(edit.text);
        const qsizetype at = insertionPoint(section.isEmpty() ? QString() : section + QLatin1Char('/'));
        if (at >= 0) {
            splices.append({at, 0, eol + entry});
        } else {
            if (!newSectionLines.contains(section))
                newSections.append(section);
            newSectionLines[section] += entry + eol;
        }
    }

    if (!newSections.isEmpty()) {
        // A blank line before each new section, as QSettings lays sections out.
        QByteArray tail;
        if (data.size() > bodyStart) {
            const qsizetype lastBreak = breakBefore(data, data.size());
            if (lastBreak == 0)
                tail += eol + eol;
            else if (breakBefore(data, data.size() - lastBreak) == 0)
                tail += eol;
        }
        for (int i = 0; i < newSections.size(); ++i) {
            if (i > 0)
                tail += eol;
            tail += sectionHeader(newSections.at(i)) + eol + newSectionLines.value(newSections.at(i));
        }
        splices.append({data.size(), 0, tail});
    }

    std::stable_sort(splices.begin(), splices.end(),
                     [](const Splice& a, const Splice& b) { return a.position < b.position; });
    QByteArray result;
    qsizetype from = 0;
    for (const Splice& splice : qAsConst(splices)) {
        result.append(data.constData() + from, int(splice.position - from));
        result += splice.text;
        from = splice.position + splice.removed;
    }
    result.append(data.constData() + from, int(data.size() - from));

    // Read the result back as a Qt host will: every value set must be there,
    // and every value read so far must read the same.
    IniDocument check(result);
    QVector<QString> paths = lookedUp;
    for (const Edit& edit : qAsConst(edits)) {
        if (!readings.contains(edit.path))
            paths.append(edit.path);
    }
    for (const QString& path : qAsConst(paths)) {
        const Reading now = check.read(path);
        const auto edit = editIndex.constFind(path);
        const Reading expected = edit != editIndex.constEnd() ? Reading{true, edits.at(*edit).text}
                                                              : readings.value(path);
        if (now.found != expected.found || now.text != expected.text)
            return false;
    }
    *out = result;
    return true;
}

// QSettings' line splitter, step for step: where it puts a line break is
// where a Qt host sees one.
bool IniDocument::readLine(qsizetype end, qsizetype& position, Line& line) const
{
    const char* text = data.constData();
    bool inQuotes = false;
    bool done = false;
    line.equals = -1;
    line.start = position;
    while (line.start < end && isSpace(text[line.start]))
        ++line.start;

    qsizetype i = line.start;
    while (i < end && !done) {
        const char ch = text[i++];
        if (!isSpecial(ch))
            continue;
        if (ch == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (isBreak(ch)) {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
        } else if (ch == '\\') {
            // The escaped character never ends the line; an escaped CR LF
            // (or LF CR) continues it as one break.
            if (i < end) {
                const char escaped = text[i++];
                if (i < end && ((escaped == '\n' && text[i] == '\r') || (escaped == '\r' && text[i] == '\n')))
                    ++i;
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == line.start + 1) { // ';' starting a comment line
            while (i < end && !isBreak(text[i]))
                ++i;
            while (i < end && isSpace(text[i]))
                ++i;
            line.start = i;
        } else if (!inQuotes) { // ';' ending the line
            --i;
            done = true;
        }
    }
    position = i;
    line.length = i - line.start;
    return line.length > 0;
}

void IniDocument::split()
{
    bodyStart = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const char* text = data.constData();
    QString current;
    qsizetype begin = bodyStart;
    bool hasHeader = false;
    qsizetype position = bodyStart;
    Line line;
    while (readLine(data.size(), position, line)) {
        if (text[line.start] != '[')
            continue;
        addBlock(current, begin, line.start, hasHeader);

        qsizetype close = line.start + 1;
        while (close < line.start + line.length && text[close] != ']')
            ++close;
        const QByteArray name = QByteArray(text + line.start + 1, int(close - line.start - 1)).trimmed();
        if (name.compare("general", Qt::CaseInsensitive) == 0) {
            current.clear();
        } else {
            if (name.compare("%general", Qt::CaseInsensitive) == 0)
                current = QString::fromLatin1(name.mid(1));
            else
                current = IniSyntax::unescapedKey(name.constData(), name.size());
            current += QLatin1Char('/');
        }
        begin = position;
        hasHeader = true;
    }
    addBlock(current, begin, data.size(), hasHeader);
}

void IniDocument::addBlock(const QString& sectionPath, qsizetype begin, qsizetype end, bool hasHeader)
{
    auto known = sectionIndex.constFind(sectionPath);
    if (known == sectionIndex.constEnd()) {
        known = sectionIndex.insert(sectionPath, sections.size());
        sections.append({sectionPath, {}});
        unparsed.insert(sectionPath, *known);
    }
    sections[*known].blocks.append({begin, end, hasHeader});
}

// A lookup parses the one section QSettings would parse for it: the last
// unparsed section, in name order, at or before the path, if it is a prefix
// of the path. Sections parsed before stay parsed.
bool IniDocument::find(const QString& path, Line* line)
{
    if (!unparsed.isEmpty()) {
        if (path.contains(QLatin1Char('/'))) {
            auto it = unparsed.upperBound(path);
            if (it != unparsed.begin()) {
                --it;
                if (!it.key().isEmpty() && path.startsWith(it.key()))
                    parseSection(it.value());
            }
        } else if (unparsed.begin().key().isEmpty()) {
            parseSection(unparsed.begin().value());
        }
    }
    const auto found = keys.constFind(path);
    if (found == keys.constEnd())
        return false;
    *line = *found;
    return true;
}

IniDocument::Reading IniDocument::read(const QString& path)
{
    Line line;
    if (!find(path, &line))
        return {false, QString()};
    const qsizetype valueStart = line.equals + 1;
    return {true, IniSyntax::valueText(data.constData() + valueStart, line.start + line.length - valueStart)};
}

void IniDocument::parseSection(int section)
{
    const Section& current = sections.at(section);
    unparsed.remove(current.path);
    const char* text = data.constData();
    for (const Block& block : current.blocks) {
        qsizetype position = block.begin;
        Line line;
        while (readLine(block.end, position, line)) {
            if (line.equals < 0)
                continue; // a comment, or text that is no key
            const QByteArray key = QByteArray(text + line.start, int(line.equals - line.start)).trimmed();
            keys.insert(current.path + IniSyntax::unescapedKey(key.constData(), key.size()), line);
        }
    }
}

// Just after the last line of the section's last block (after a comment on
// that line too), before its line break; -1 when the file has no such section.
qsizetype IniDocument::insertionPoint(const QString& sectionPath) const
{
    const auto known = sectionIndex.constFind(sectionPath);
    if (known == sectionIndex.constEnd())
        return -1;
    const Block& block = sections.at(*known).blocks.constLast();
    qsizetype end = -1;
    qsizetype position = block.begin;
    Line line;
    while (readLine(block.end, position, line))
        end = line.start + line.length;
    if (end < 0) {
        if (!block.hasHeader)
            return -1;
        end = block.begin;
    }
    while (end < data.size() && !isBreak(data.at(end)))
        ++end;
    return end;
}

QByteArray IniDocument::lineBreak() const
{
    const qsizetype lf = data.indexOf('\n');
    if (lf > 0 && data.at(lf - 1) == '\r')
        return "\r\n";
    if (lf >= 0)
        return "\n";
    if (data.contains('\r'))
        return "\r";
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

// The value between the blanks around it, so the person's spacing stays.
IniDocument::Splice IniDocument::replacement(const Line& line, const QString& text) const
{
    qsizetype begin = line.equals + 1;
    qsizetype end = line.start + line.length;
    while (begin < end && isBlank(data.at(begin)))
        ++begin;
    while (end > begin && isBlank(data.at(end - 1)))
        --end;
    return {begin, end - begin, IniSyntax::escapedValue(text)};
}
