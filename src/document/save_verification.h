#pragma once
// Checks a save by converting the new RBF file back: a converter that wrote a
// wrong but well-formed file would otherwise go unnoticed until the next open.
//
// The RBF file is copied into a private temporary folder (mode 0700, removed
// afterwards) and converted there, never beside the user's file, so the user's
// text file and any file of the same name stay untouched. The copy keeps the
// file's name, because the converter writes the name into the text's heading.
//
// The comparison reads both texts with the line grammar's rules and compares
// what they say, not how it is laid out: blank lines, blanks around markers,
// keys, ":" and ";", the number of depth markers (the converter takes nesting
// from the braces), the heading and the line breaks may differ; keys, values
// and braces may not. Values compare as written, except that booleans compare
// without regard to case and numbers of the same kind (integer or floating
// point) by their value, since the converter writes both in one form of its own.

#include "converter/run_converter.h"

#include <QByteArrayView>
#include <QString>

// The 1-based number of the first line of saved whose content differs from reconverted; 0 when
// both say the same. Content that reconverted has beyond the end of saved counts at the line
// after saved's last one.
int FirstDifferingLine(QByteArrayView saved, QByteArrayView reconverted);

struct SaveVerification {
    enum class Outcome {
        Same,       // the RBF file converts back to what was saved
        Differs,    // it does not: line names the first line of the saved text that differs
        NotChecked, // the check could not be made: see problem (and run)
    };
    Outcome outcome = Outcome::NotChecked;
    int line = 0;
    ConverterRun run; // the conversion of the copy
    QString problem;
};

// Converts a copy of rbfPath back with the converter and compares it with the text file that
// was saved. Waits for the converter as RunConverterProcess does.
SaveVerification VerifySavedFile(const QString &converterPath, const QString &rbfPath,
                                 const QString &savedTextPath);
