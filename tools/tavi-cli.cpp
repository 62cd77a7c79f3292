// tavi-cli: the notebook's companion tool. It works on the same libraries as
// the program but needs no display.
#include "platform/FontSetup.h"
#include "platform/RichEdit.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <functional>
#include <span>

namespace {

struct Command {
    const char *name;
    const char *usage;
    const char *summary;
    std::function<int(std::span<char *>)> run;
};

void printErr(const QString &message)
{
    std::fprintf(stderr, "tavi-cli: %s\n", message.toLocal8Bit().constData());
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Reads FILE into a day box; false (with a message) when the file cannot be read.
bool loadIntoBox(const char *path, tavi::RichEdit &box)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    box.loadContent(file.readAll());
    return true;
}

int rtfToText(std::span<char *> args)
{
    tavi::RichEdit box;
    if (!loadIntoBox(args[0], box))
        return 1;
    QString text = box.plainTextCrLf();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    writeOut(text.toUtf8() + '\n');
    return 0;
}

int rtfRoundTrip(std::span<char *> args)
{
    tavi::RichEdit box;
    if (!loadIntoBox(args[0], box))
        return 1;
    writeOut(box.rtf());
    return 0;
}

const Command commands[] = {
    {"rtf-to-text", "rtf-to-text FILE", "print the plain text a day box shows after reading FILE (UTF-8)",
     rtfToText},
    {"rtf-roundtrip", "rtf-roundtrip FILE", "read FILE into a day box and print the box's RTF", rtfRoundTrip},
};

int usage(FILE *out)
{
    std::fprintf(out, "usage: tavi-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const Command &command : commands)
        std::fprintf(out, "  %-28s %s\n", command.usage, command.summary);
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help")
        return usage(stdout);

    // Drawing and rich text need a QApplication; offscreen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tavi::useProgramFonts();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    for (const Command &command : commands) {
        if (name != command.name)
            continue;
        std::span<char *> args(argv + 2, size_t(argc - 2));
        if (args.size() != 1) {
            std::fprintf(stderr, "usage: tavi-cli %s\n", command.usage);
            return 2;
        }
        return command.run(args);
    }
    printErr(QStringLiteral("unknown command '%1' (see tavi-cli --help)").arg(QString::fromStdString(name)));
    return 2;
}
