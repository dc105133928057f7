#include "app/program_arguments.h"

ProgramArguments ParseProgramArguments(const QStringList &arguments) {
    ProgramArguments result;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
            result.action = ProgramArguments::Action::Help;
            return result;
        } else if (options && (argument == QLatin1String("-v") || argument == QLatin1String("--version"))) {
            result.action = ProgramArguments::Action::Version;
            return result;
        } else if (options && argument.startsWith(QLatin1String("--"))) {
            result.action = ProgramArguments::Action::Error;
            result.error = QStringLiteral("unknown option %1").arg(argument);
            return result;
        } else {
            result.files << argument;
        }
    }
    return result;
}

QString ProgramHelpText() {
    return QStringLiteral(
        "Usage: kestrelbench [OPTION] [--] [FILE...]\n"
        "Edit the binary RBF data files of the game through the text their converter makes.\n"
        "\n"
        "Opens every FILE given. When Kestrelbench already runs for this user, the files are\n"
        "handed to the running window, which comes to the front, and this start ends.\n"
        "\n"
        "Options:\n"
        "  -h, --help     print this help and end\n"
        "  -v, --version  print the version and end\n"
        "  --             every later argument is a FILE, also one that starts with \"-\"\n"
        "\n"
        "Settings: Kestrelbench.ini beside the program when its folder can be written,\n"
        "else $XDG_CONFIG_HOME/kestrelbench/Kestrelbench.ini.\n");
}

QString ProgramVersionText() {
    return QStringLiteral("Kestrelbench " KESTREL_VERSION "\n");
}
