#pragma once
// Where the settings file and the readme live.
//
// Beside the executable when its folder can be written (the demo folder, an
// install into the user's own prefix, an unpacked copy), as the program always
// did. Otherwise, and always when the program was installed for all users (its
// folder holds the marker file SystemInstallMarker, which the package ships;
// root could write /usr/lib but must not), in the user's own folders:
// $XDG_CONFIG_HOME/kestrelbench/Kestrelbench.ini and
// $XDG_DATA_HOME/kestrelbench/Readme.rtf.

#include <QString>

inline constexpr char SystemInstallMarker[] = "system-wide";

struct SettingsLocation {
    QString settingsFile; // full path of Kestrelbench.ini
    QString readmeDir;    // folder of Readme.rtf, ending in "/"
    bool besideProgram = true;
    // The converter to use when the settings name none: the one installed
    // beside the program, in the user's folders only; empty beside the program,
    // where the first activation asks for it.
    QString defaultConverter;
};

// exeDir: the executable's folder, with or without a trailing "/".
SettingsLocation ResolveSettingsLocation(const QString &exeDir);

// Makes the folders of the user's settings and readme when they are missing,
// then tells whether the settings file can be written there: its folder is
// writable and the file is missing or a writable regular file.
bool PrepareSettingsLocation(const SettingsLocation &location);
