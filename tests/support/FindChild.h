// FindChild.h: finds a widget's child by object name and type for tests, failing the test with the
// name when there is none (instead of crashing on a null pointer).
#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace testsupport {

// The child (at any depth) of `parent` named `name` of type T; throws when there is none, which
// GoogleTest reports as a failure of the running test.
template <class T> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromUtf8(name));
    if (!found)
        throw std::logic_error(std::string("no child of the requested type named ") + name);
    return found;
}

template <class T> T* child(const QObject* parent, const char* name) { return child<T>(*parent, name); }

} // namespace testsupport
