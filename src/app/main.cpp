#include "app/main_window.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    TFormMain window(TFormMain::Options{QString(), QApplication::arguments(), nullptr});
    window.show();
    return app.exec();
}
