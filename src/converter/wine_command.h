#pragma once
// Modders on Linux often have the real converter only as a Windows program.
// Off Windows, a converter whose name ends in ".exe" runs through wine, with
// the input path in the Windows form wine understands.

#include <QString>
#include <QStringList>

// True off Windows for a converter path ending in ".exe" (any letter case).
bool NeedsWine(const QString &converterPath);
// The wine program on the PATH (the environment variable KESTREL_WINE overrides it); empty when none.
QString FindWine();
// An absolute POSIX path as winepath -w gives it for a file outside the prefix's own drives:
// wine maps the whole file system as drive Z:, so "/a b/x.rbf" is "Z:\a b\x.rbf".
QString WindowsPathForWine(const QString &absolutePath);
// wine's arguments: the converter, the switches and the input path in Windows form.
QStringList WineArguments(const QString &converterPath, const QString &inputPath);
// Why a run of converterPath over path must not start: through wine, a name holding a backslash
// (wine reads it as a folder separator, so another file would be converted or overwritten), a
// double quote or a line break cannot be passed exactly. Empty when the run may start.
QString WineRefusal(const QString &converterPath, const QString &path);
