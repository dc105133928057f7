#pragma once
// File-name parts as the program names them: the name after the last separator
// (or drive colon), the extension from the name's last dot, dot included.

#include <QString>

QString ExtractFileName(const QString &path);
QString ExtractFileExt(const QString &path);
QString ExtractFilePath(const QString &path);
QString ChangeFileExt(const QString &path, const QString &extension);
