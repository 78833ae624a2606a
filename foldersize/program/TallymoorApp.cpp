// TallymoorApp.cpp: unhandled exceptions of event handlers go to the error report; the German
// locale and Qt's German translations.
#include "foldersize/program/TallymoorApp.h"

#include <exception>

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "foldersize/services/ErrorReport.h"

namespace foldersize {

bool installGermanTranslations(QCoreApplication& app)
{
    const QLocale system = QLocale::system();
    const QLocale german =
        system.language() == QLocale::German ? system : QLocale(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    auto* qt = new QTranslator(&app);
    if (!qt->load(german, QStringLiteral("qt"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    app.installTranslator(qt);
    return true;
}

void readSystemLocaleAsGerman()
{
    QByteArray user = qgetenv("LC_ALL");
    for (const char* var : {"LC_MESSAGES", "LANG"})
        if (user.isEmpty())
            user = qgetenv(var);
    const bool german = QLocale(QString::fromLatin1(user)).language() == QLocale::German;
    const bool had = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray before = qgetenv("LC_ALL");
    qputenv("LC_ALL", german ? user : QByteArrayLiteral("de_DE.UTF-8"));
    (void)QLocale::system();
    if (had)
        qputenv("LC_ALL", before);
    else
        qunsetenv("LC_ALL");
}

TallymoorApp::TallymoorApp(int& argc, char** argv)
    : QApplication(argc, argv)
{}

bool TallymoorApp::notify(QObject* receiver, QEvent* event)
{
    QString what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        what = QString::fromLocal8Bit(e.what());
    } catch (...) {
        what = QStringLiteral("unknown exception");
    }
    ErrorInfo err;
    err.number = kUnhandledExceptionError;
    err.source = kExceptionSource;
    err.description = unhandledExceptionDescription(QStringLiteral("C++ exception: ") + what, 0, 0);
    FehlerAnzeigen(receiver ? QString::fromLatin1(receiver->metaObject()->className()) : QString(),
        QStringLiteral("Exception Handler"), 0, err);
    return false;
}

} // namespace foldersize
