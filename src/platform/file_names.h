#pragma once
// Parts of a file path, as the program names them: the file name, its
// extension, the folder. Both '/' and '\\' separate folders on every platform
// (paths from a Windows settings file stay readable), and a drive colon ("C:")
// ends the folder part. A colon anywhere else is part of a name.

#include <QString>

// The part after the last separator or drive colon; the whole path when there is none.
QString ExtractFileName(const QString &path);
// From the last dot of the file name on, dot included; empty when the name has no dot.
QString ExtractFileExt(const QString &path);
// The path with its extension replaced by ext, or ext appended when there is none.
// ext normally starts with a dot (".txt").
QString ChangeFileExt(const QString &path, const QString &ext);
// The folder part with its trailing separator (or drive colon); empty when there is none.
QString ExtractFilePath(const QString &path);
