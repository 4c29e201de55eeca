// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemServices.h"
#include "shell/Form1.h"
#include "windows/ApplicationIcon.h"
#include "windows/Version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    krambol::windows::applyApplicationMetadata();
    QApplication::setWindowIcon(krambol::windows::applicationIcon());

    // The interface is Russian, so the toolkit's own dialogs (file, colour, printer) speak Russian too.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    krambol::platform::SystemServices system;
    krambol::shell::Form1 form(system.services());
    system.setDialogParent(&form);
    form.Form_Load();
    form.show();
    return app.exec();
}
