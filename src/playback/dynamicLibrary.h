#pragma once

#include <QString>
#include <memory>

// A shared library loaded with dlopen and released with dlclose when the
// object goes or Unload() is called.
class TdynamicLibrary {
public:
    TdynamicLibrary() = default;
    // Resolves all symbols at once and keeps them local to the library.
    explicit TdynamicLibrary(const QString &path);

    bool IsLoaded() const { return m_handle != nullptr; }
    // Null when the library is not loaded or does not export name.
    void *Symbol(const char *name) const;
    void Unload() { m_handle.reset(); }

private:
    struct Closer {
        void operator()(void *handle) const;
    };
    std::unique_ptr<void, Closer> m_handle;
};
