#pragma once
// A process-wide replaceable seam (the boxes the screens show, the opener of the service's
// addresses): the program's own implementation unless another one is installed, as tests
// install theirs.
#include <utility>

template <typename Interface>
class InstalledSeam {
public:
    // The installed implementation, else `standard`.
    Interface &inForce(Interface &standard) const { return m_installed ? *m_installed : standard; }
    // Installs `replacement` (nullptr: back to the standard one); returns the one it replaces.
    Interface *install(Interface *replacement) { return std::exchange(m_installed, replacement); }

private:
    Interface *m_installed = nullptr;
};
