// DialogHooks.h: what Tallymoor's dialogs need of the rest of the program, handed in by the main
// window: the central error routine and the registration of the file managers' folder verb.
#pragma once

#include <QString>

#include <functional>

namespace foldersize {

struct DialogHooks {
    // Procedure name, module name, failed step, error text (the program's error report).
    std::function<void(const QString& procName, const QString& modulName, int zeile, const QString& error)>
        reportError;
    // 1 registers the folder verb, any other value removes it.
    std::function<void(int aktiv)> kontextmenuRegistrieren;

    void error(const QString& procName, const QString& modulName, int zeile, const QString& text) const
    {
        if (reportError)
            reportError(procName, modulName, zeile, text);
    }
};

} // namespace foldersize
