#include "platform/SystemServices.h"
#include "shell/Form1.h"
#include "windows/Version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    krambol::windows::applyApplicationMetadata();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/form1/krambol.ico")));

    krambol::platform::SystemServices system;
    krambol::shell::Form1 form(system.services());
    system.setDialogParent(&form);
    form.Form_Load();
    form.show();
    return app.exec();
}
