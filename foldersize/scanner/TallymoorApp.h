// TallymoorApp.h: the application object of Tallymoor. An exception that escapes an event handler
// is shown as the error report of an unhandled exception, and the program goes on.
#pragma once

#include <QApplication>

namespace foldersize {

class TallymoorApp : public QApplication {
    Q_OBJECT
public:
    TallymoorApp(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace foldersize
