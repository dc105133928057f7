// The real dialogs of the dialog seam: titles, icons, buttons, results, shown
// modally on the offscreen platform and answered while they are open.

#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs answer on the modal dialog once it is open (inside the dialog's own event loop).
void WhenOpen(std::function<void(QWidget *)> answer) {
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    QString informative;
    Qt::TextFormat informativeFormat = Qt::AutoText;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Records the message box and ends it with the given button (NoButton: Escape).
void AnswerBox(Box &seen, QMessageBox::StandardButton button) {
    WhenOpen([&seen, button](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (!box)
            return;
        seen = Box();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.format = box->textFormat();
        seen.informative = box->informativeText();
        if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            seen.informativeFormat = label->textFormat();
        seen.defaultButton = box->standardButton(static_cast<QAbstractButton *>(box->defaultButton()));
        if (button == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    });
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QWidget m_parent;

private Q_SLOTS:
    void messageBoxes() {
        QtDialogs dialogs(&m_parent);
        struct Case {
            std::function<void(const QString &)> show;
            QString title;
            QMessageBox::Icon icon;
        };
        const QList<Case> cases = {
            {[&](const QString &t) { dialogs.ShowError(t); }, QStringLiteral("Error"), QMessageBox::Critical},
            {[&](const QString &t) { dialogs.ShowWarning(t); }, QStringLiteral("Warning"),
             QMessageBox::Warning},
            {[&](const QString &t) { dialogs.ShowInfo(t); }, QStringLiteral("Information"),
             QMessageBox::Information},
        };
        for (const Case &c : cases) {
            Box seen;
            AnswerBox(seen, QMessageBox::Ok);
            c.show(QStringLiteral("\"C:\\data\\a & b.rbf\" not found!"));
            QCOMPARE(seen.title, c.title);
            QCOMPARE(seen.icon, c.icon);
            QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(seen.text, QStringLiteral("\"C:\\data\\a & b.rbf\" not found!"));
            QCOMPARE(seen.format, Qt::PlainText);
        }
    }

    void askYesNo() {
        QtDialogs dialogs(&m_parent);
        Box seen;
        AnswerBox(seen, QMessageBox::Yes);
        QVERIFY(dialogs.AskYesNo(QStringLiteral("Save changes?")));
        QCOMPARE(seen.title, QStringLiteral("Confirm"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.text, QStringLiteral("Save changes?"));
        AnswerBox(seen, QMessageBox::No);
        QVERIFY(!dialogs.AskYesNo(QStringLiteral("Save changes?")));
        // Any other way of ending the box counts as No.
        AnswerBox(seen, QMessageBox::NoButton);
        QVERIFY(!dialogs.AskYesNo(QStringLiteral("Save changes?")));
    }

    // A converter's words are shown below the message as they are: markup stays text.
    void errorsWithDetails() {
        QtDialogs dialogs(&m_parent);
        const QString details = QStringLiteral("The converter printed:\n<b>line 3</b>: x & y\nExit code: 1");
        Box seen;
        AnswerBox(seen, QMessageBox::Ok);
        dialogs.ShowErrorDetails(QStringLiteral("Unable to open: a.rbf"), details);
        QCOMPARE(seen.title, QStringLiteral("Error"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.text, QStringLiteral("Unable to open: a.rbf"));
        QCOMPARE(seen.informative, details);
        QCOMPARE(seen.informativeFormat, Qt::PlainText);

        const QString question = QStringLiteral("Go to line 3 of a.txt?");
        AnswerBox(seen, QMessageBox::Yes);
        QVERIFY(dialogs.AskErrorGoThere(QStringLiteral("a.rbf was not rewritten"), details, question));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.defaultButton, QMessageBox::Yes);
        QCOMPARE(seen.text, QStringLiteral("a.rbf was not rewritten"));
        QCOMPARE(seen.informative, details + QStringLiteral("\n\n") + question);
        QCOMPARE(seen.informativeFormat, Qt::PlainText);
        AnswerBox(seen, QMessageBox::No);
        QVERIFY(!dialogs.AskErrorGoThere(QStringLiteral("x"), details, question));
        AnswerBox(seen, QMessageBox::NoButton);
        QVERIFY(!dialogs.AskErrorGoThere(QStringLiteral("x"), details, question));
    }

    void inputQuery() {
        QtDialogs dialogs(&m_parent);
        QString caption;
        QString label;
        QString initial;
        WhenOpen([&](QWidget *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            caption = input->windowTitle();
            label = input->labelText();
            initial = input->textValue();
            input->setTextValue(QStringLiteral("new value"));
            input->accept();
        });
        QString value = QStringLiteral("old value");
        QVERIFY(dialogs.InputQuery(QStringLiteral("Edit Value"), QStringLiteral("Value:"), value));
        QCOMPARE(caption, QStringLiteral("Edit Value"));
        QCOMPARE(label, QStringLiteral("Value:"));
        QCOMPARE(initial, QStringLiteral("old value"));
        QCOMPARE(value, QStringLiteral("new value"));
        WhenOpen([](QWidget *dialog) {
            qobject_cast<QInputDialog *>(dialog)->setTextValue(QStringLiteral("ignored"));
            qobject_cast<QInputDialog *>(dialog)->reject();
        });
        QVERIFY(!dialogs.InputQuery(QStringLiteral("Edit Value"), QStringLiteral("Value:"), value));
        QCOMPARE(value, QStringLiteral("new value"));
    }

    void fileDialogs() {
        QTemporaryDir folder;
        QStringList files;
        for (const char *name : {"a.ucs", "b.ucs", "other.txt"}) {
            QFile file(folder.path() + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            files << file.fileName();
        }
        QtDialogs dialogs(&m_parent);
        const FileDialogSpec request{QStringLiteral("Open UCS files"), QStringLiteral("UCS file|*.ucs"),
                                     folder.path()};
        QString title;
        QStringList filters;
        QString directory;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        int warnings = 0;
        // Types the names into the dialog's file name box and accepts, as a user would; tried
        // again on the next tick should the dialog still be open (it checks the files as they load).
        auto answer = [&](const QStringList &choose) {
            auto *timer = new QTimer;
            timer->setInterval(20);
            QObject::connect(timer, &QTimer::timeout, [&, timer, choose] {
                QWidget *modal = QApplication::activeModalWidget();
                auto *dialog = qobject_cast<QFileDialog *>(modal);
                if (modal && !dialog) {
                    ++warnings; // a message box of the file dialog: close it and try again
                    modal->close();
                    return;
                }
                if (!dialog || !dialog->isVisible())
                    return;
                title = dialog->windowTitle();
                filters = dialog->nameFilters();
                directory = dialog->directory().absolutePath();
                mode = dialog->fileMode();
                if (choose.isEmpty()) {
                    dialog->reject();
                    timer->deleteLater();
                    return;
                }
                QStringList quoted;
                for (const QString &path : choose)
                    quoted << QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
                dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                    ->setText(choose.size() == 1 ? QFileInfo(choose[0]).fileName() : quoted.join(' '));
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept, through the public base
                if (!dialog->isVisible())
                    timer->deleteLater();
            });
            timer->start();
        };
        QString path;
        answer({files[0]});
        QVERIFY(dialogs.OpenFile(request, path));
        QCOMPARE(path, files[0]);
        QCOMPARE(title, QStringLiteral("Open UCS files"));
        QCOMPARE(filters, QStringList{"UCS file (*.ucs)"});
        QCOMPARE(directory, folder.path());
        QCOMPARE(mode, QFileDialog::ExistingFile);
        answer({});
        path = QStringLiteral("kept");
        QVERIFY(!dialogs.OpenFile(request, path));
        QCOMPARE(path, QStringLiteral("kept"));

        QStringList paths;
        answer({files[0], files[1]});
        QVERIFY(dialogs.OpenFiles(request, paths));
        QCOMPARE(paths, (QStringList{files[0], files[1]}));
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        answer({});
        QVERIFY(!dialogs.OpenFiles(request, paths));
        QCOMPARE(paths.size(), 2);
        QCOMPARE(warnings, 0);
    }

    void fontDialog() {
        QtDialogs dialogs(&m_parent);
        QFont font(QStringLiteral("Courier New"), 11);
        QFont offered;
        WhenOpen([&offered](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            offered = fonts->currentFont();
            QFont bigger = offered;
            bigger.setPointSize(15);
            fonts->setCurrentFont(bigger);
            fonts->accept();
        });
        QVERIFY(dialogs.ChooseFont(font));
        QCOMPARE(offered.pointSize(), 11);
        QCOMPARE(font.pointSize(), 15);
        WhenOpen([](QWidget *dialog) { qobject_cast<QFontDialog *>(dialog)->reject(); });
        QVERIFY(!dialogs.ChooseFont(font));
        QCOMPARE(font.pointSize(), 15);
    }

    // A family whose plain style is called "Book" (DejaVu, Debian's default): the dialog must
    // start on the current font's own style, and OK without a change keeps the font exactly.
    void fontDialogStartsFromTheCurrentFontExactly_data() {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("style");
        const QString family = QStringLiteral("DejaVu Sans");
        QFont plain(family, 10);
        QFont bold(family, 12);
        bold.setBold(true);
        QFont italic(family, 9);
        italic.setItalic(true);
        QFont both = bold;
        both.setItalic(true);
        QFont pixels(family);
        pixels.setPixelSize(20);
        QFont lines(family, 11);
        lines.setUnderline(true);
        lines.setStrikeOut(true);
        QTest::newRow("plain") << plain << QStringLiteral("Book");
        QTest::newRow("bold") << bold << QStringLiteral("Bold");
        QTest::newRow("italic") << italic << QStringLiteral("Oblique");
        QTest::newRow("bold italic") << both << QStringLiteral("Bold Oblique");
        QTest::newRow("pixel height") << pixels << QStringLiteral("Book");
        QTest::newRow("underline and strike-out") << lines << QStringLiteral("Book");
    }

    void fontDialogStartsFromTheCurrentFontExactly() {
        QFETCH(QFont, font);
        QFETCH(QString, style);
        if (!QFontDatabase::families().contains(font.family()))
            QSKIP("DejaVu Sans is not installed (Debian package fonts-dejavu-core)");
        QtDialogs dialogs(&m_parent);
        const QFont before = font;
        QFont offered;
        WhenOpen([&offered](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            offered = fonts->currentFont();
            fonts->accept();
        });
        QVERIFY(dialogs.ChooseFont(font));
        QCOMPARE(offered.family(), before.family());
        QCOMPARE(offered.styleName(), style);
        QCOMPARE(offered.italic(), before.italic());
        QCOMPARE(offered.bold(), before.bold());
        QCOMPARE(offered.underline(), before.underline());
        QCOMPARE(offered.strikeOut(), before.strikeOut());
        QCOMPARE(font, before);
        QCOMPARE(font.italic(), before.italic());
        QCOMPARE(font.pixelSize(), before.pixelSize());
        QVERIFY(font.styleName().isEmpty());
    }

    // A style picked in the dialog comes back as weight and slant, which the settings file keeps.
    void fontDialogChoiceComesBackAsBoldAndItalic() {
        const QString family = QStringLiteral("DejaVu Sans");
        if (!QFontDatabase::families().contains(family))
            QSKIP("DejaVu Sans is not installed (Debian package fonts-dejavu-core)");
        QtDialogs dialogs(&m_parent);
        QFont font(family, 10);
        WhenOpen([&family](QWidget *dialog) {
            auto *fonts = qobject_cast<QFontDialog *>(dialog);
            QFont choice(family, 14);
            choice.setStyleName(QStringLiteral("Bold Oblique"));
            fonts->setCurrentFont(choice);
            fonts->accept();
        });
        QVERIFY(dialogs.ChooseFont(font));
        QCOMPARE(font.family(), family);
        QCOMPARE(font.pointSize(), 14);
        QVERIFY(font.bold());
        QVERIFY(font.italic());
        QVERIFY(font.styleName().isEmpty());
        QCOMPARE(FontStyleName(font), QStringLiteral("Bold Oblique"));
    }

    void filters() {
        QCOMPARE(QtFileFilter(QStringLiteral("EXE file|*.exe")), QStringLiteral("EXE file (*.exe)"));
        QCOMPARE(QtFileFilter(QStringLiteral("EXE file|*.exe|Program|*")),
                 QStringLiteral("EXE file (*.exe);;Program (*)"));
        QCOMPARE(QtFileFilter(QStringLiteral("Tables|*.ucs;*.txt")), QStringLiteral("Tables (*.ucs *.txt)"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
