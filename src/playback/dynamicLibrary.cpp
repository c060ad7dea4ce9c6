#include "dynamicLibrary.h"

#include <QFile>
#include <dlfcn.h>

void TdynamicLibrary::Closer::operator()(void *handle) const
{
    dlclose(handle);
}

TdynamicLibrary::TdynamicLibrary(const QString &path)
{
    if (!path.isEmpty())
        m_handle.reset(dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL));
}

void *TdynamicLibrary::Symbol(const char *name) const
{
    return m_handle ? dlsym(m_handle.get(), name) : nullptr;
}
