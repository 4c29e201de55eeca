#include "platform/SystemServices.h"
#include "shell/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    krambol::platform::SystemServices system;
    krambol::shell::Form1 form(system.services());
    system.setDialogParent(&form);
    form.show();
    return app.exec();
}
