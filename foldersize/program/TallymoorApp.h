// TallymoorApp.h: the application object of Tallymoor. An exception that escapes an event handler
// is shown as the error report of an unhandled exception, and the program goes on.
#pragma once

#include <QApplication>

namespace foldersize {

// Makes the program German throughout: the default locale becomes German (the system's own when
// it is a German one, else Germany), so type names of the MIME database are German, and Qt's own
// dialogs (folder, save, print, font) load Qt's German translations. False when the translations
// are not installed (the dialogs then stay in Qt's English).
bool installGermanTranslations(QCoreApplication& app);

// Qt's own dialogs show sizes and dates in the system's locale ("549 Bytes", "10.12.26"), which
// Qt reads from the environment once, when it is first used. Called before the application
// object exists, this has Qt read it as German (the user's German locale, else Germany); the C
// library keeps the user's locale.
void readSystemLocaleAsGerman();

class TallymoorApp : public QApplication {
    Q_OBJECT
public:
    TallymoorApp(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace foldersize
