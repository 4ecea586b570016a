// olkmixer: the service utility's window.
#include "app/appearance.h"
#include "app/mainmixer.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    olk::ApplyAppearance(application);
    olk::MainWindowStart start;
    start.arguments = application.arguments().mid(1);
    olk::TOLKmixer window(start);
    window.show();
    return application.exec();
}
