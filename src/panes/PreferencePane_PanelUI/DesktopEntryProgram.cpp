#include "DesktopEntryProgram.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace qm {

namespace {

// The first word of an "Exec" value, which may be quoted.
QString firstWord(const QString& command)
{
    const QString trimmed = command.trimmed();
    if (trimmed.startsWith('"'))
        return trimmed.mid(1, trimmed.indexOf('"', 1) - 1);
    return trimmed.section(' ', 0, 0);
}

QString execOfDesktopEntry(const QString& file)
{
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream lines(&entry);
    bool inMainGroup = false;
    while (!lines.atEnd()) {
        const QString line = lines.readLine().trimmed();
        if (line.startsWith('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && line.startsWith("Exec="))
            return firstWord(line.mid(5));
    }
    return {};
}

} // namespace

std::optional<std::filesystem::path> programOfApplicationFile(const std::filesystem::path& file)
{
    const QString path = QString::fromStdString(file.string());
    if (!path.endsWith(".desktop")) {
        const QFileInfo info(path);
        return info.isFile() && info.isExecutable() ? std::optional(file) : std::nullopt;
    }
    const QString program = execOfDesktopEntry(path);
    if (program.isEmpty())
        return std::nullopt;
    const QString found = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    return found.isEmpty() ? std::nullopt : std::optional<std::filesystem::path>(found.toStdString());
}

} // namespace qm
