#pragma once

#include <utility>

// A service the program reaches through one replaceable instance: its own
// unless another has been installed, for instance one that answers without a
// desktop or a disk that fails part-way. Modal windows, the frame clock, the
// desktop's tools and the file writer are all reached this way.
template <class Service>
class Installable {
public:
    // The installed service, or the program's own when none is.
    static Service& inUse(Service& own) { return s_installed ? *s_installed : own; }
    // Installs a service (nullptr: the program's own again); returns the
    // previous one.
    static Service* install(Service* replacement) { return std::exchange(s_installed, replacement); }

private:
    static inline Service* s_installed = nullptr;
};

// A service that installs itself for its lifetime and puts back the one it
// replaced when it ends.
template <class Service>
class Installed : public Service {
public:
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;

protected:
    Installed() : m_previous(Installable<Service>::install(this)) {}
    ~Installed() override { Installable<Service>::install(m_previous); }

private:
    Service* m_previous;
};
