#include "platform/SystemServices.h"
#include "shell/Form1.h"
#include "windows/ApplicationIcon.h"
#include "windows/Version.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    krambol::windows::applyApplicationMetadata();
    QApplication::setWindowIcon(krambol::windows::applicationIcon());

    krambol::platform::SystemServices system;
    krambol::shell::Form1 form(system.services());
    system.setDialogParent(&form);
    form.Form_Load();
    form.show();
    return app.exec();
}
