// Service.h: one process-wide instance of a service interface (message boxes, help, clock,
// program starts ...) that program code reaches through one accessor and that start-up or a test
// replaces.
#pragma once

#include <cstddef>
#include <utility>

namespace common {

// Service<T> holds the replacement installed for the interface T; nothing is installed at first.
//
// instance() answers the replacement, else T's default. A service with a default declares it
// once beside T, after T's definition:
//     template <> platform::Clock& common::Service<platform::Clock>::fallback();
// and defines it in its own source file (usually a function-local static object), so that
// program code never sees the default's type. A service that simply does nothing while none is
// installed asks installed() instead, which may be null.
//
// Replacements are not owned and must outlive their installation. The slot is not guarded: the
// program installs its services at start-up and tests in their fixtures, before anything else
// asks for them.
template <class T> class Service {
public:
    Service() = delete;

    // The installed replacement, else the default.
    static T& instance()
    {
        T* current = slot();
        return current ? *current : fallback();
    }

    // The installed replacement; nullptr when none is.
    static T* installed() { return slot(); }

    // Installs `replacement` (nullptr goes back to the default) and returns the previous one.
    static T* replace(T* replacement) { return std::exchange(slot(), replacement); }

    // Installs a replacement (or, given nullptr, none) for the lifetime of a scope and then puts
    // back whatever was installed before.
    class Override {
    public:
        explicit Override(T& replacement)
            : m_previous(replace(&replacement))
        {}
        explicit Override(std::nullptr_t)
            : m_previous(replace(nullptr))
        {}
        ~Override() { replace(m_previous); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        T* m_previous;
    };

private:
    // Defined by each service that has a default (see above).
    static T& fallback();

    static T*& slot()
    {
        static T* current = nullptr;
        return current;
    }
};

} // namespace common
