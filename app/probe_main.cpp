// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// zarumi-probe PATH...: prints, for every path, the list file line of the
// row that a drop of that path would add to the catalogue.

#include "DropIntake.h"
#include "ProbeFile.h"

#include <QDate>
#include <QList>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char *Usage = "usage: zarumi-probe [--help] [--] PATH...\n";
constexpr const char *Description = "Prints for each PATH the catalogue line (the 15 stored fields joined by '#')\n"
                                    "that dropping it on Zarumi would add, registered today.\n";

enum class Exit { Ok = 0, WriteFailed = 1, UsageError = 2 };

struct CommandLine
{
    bool help = false;
    bool valid = true;
    QList<FilePath> paths;
};

bool isOption(const char *argument)
{
    return argument[0] == '-' && argument[1] != '\0';
}

CommandLine parse(int argc, char **argv)
{
    CommandLine command;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (options && std::strcmp(argument, "--") == 0)
            options = false;
        else if (options && std::strcmp(argument, "--help") == 0)
            command.help = true;
        else if (options && isOption(argument))
            command.valid = false;
        else
            command.paths.append(FilePath::fromArgument(argument));
    }
    if (!command.help && command.paths.isEmpty())
        command.valid = false;
    return command;
}

bool writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

Exit probeAll(const QList<FilePath> &paths)
{
    for (const FilePath &path : paths) {
        const CatalogItem row = MasterRowFor(ProbeFile(path), QDate::currentDate());
        if (!writeLine(row.toListLine()))
            break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "zarumi-probe: cannot write the output: %s\n", std::strerror(errno));
        return Exit::WriteFailed;
    }
    return Exit::Ok;
}

} // namespace

int main(int argc, char **argv)
{
    const CommandLine command = parse(argc, argv);
    if (!command.valid) {
        std::fputs(Usage, stderr);
        return int(Exit::UsageError);
    }
    if (command.help) {
        std::fputs(Usage, stdout);
        std::fputs(Description, stdout);
        return std::fflush(stdout) == 0 ? int(Exit::Ok) : int(Exit::WriteFailed);
    }
    return int(probeAll(command.paths));
}
