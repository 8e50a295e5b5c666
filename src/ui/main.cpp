// SPDX-License-Identifier: GPL-3.0-or-later
// korvalin-gui: the desktop program. An optional argument names a project
// file (.krv) to open.

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include "ui/korvalin_app.h"
#include "ui/program_texts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(korvalin::SETTINGS_APPLICATION);
    QApplication::setOrganizationName(korvalin::SETTINGS_ORGANIZATION);
    QApplication::setApplicationVersion(KORVALIN_VERSION);
    QApplication::setDesktopFileName("korvalin");

    QCommandLineParser parser;
    parser.setApplicationDescription("Authors PlayStation and PlayStation 2 CD-ROM images.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("project", "A Korvalin project file (.krv) to open.", "[project]");
    parser.process(application);

    QSettings settings(korvalin::SETTINGS_ORGANIZATION, korvalin::SETTINGS_APPLICATION);
    korvalin::CKorvalinApp app(settings);
    const QStringList files = parser.positionalArguments();
    app.InitInstance(files.isEmpty() ? QString() : files.first());
    return application.exec();
}
