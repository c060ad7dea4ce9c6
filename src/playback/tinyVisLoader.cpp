#include "tinyVisLoader.h"

#include <QFile>
#include <cmath>
#include <cstring>

TtinyVisLoader::TtinyVisLoader(AudioEngine *engine, void *ownerForm)
    : m_engine(engine)
    , m_ownerForm(ownerForm)
{
}

TtinyVisLoader::~TtinyVisLoader()
{
    Stop();
    FreeCaptureUnit();
}

bool TtinyVisLoader::CreateCaptureUnit()
{
    if (m_captureExists || !m_engine)
        return false;
    const int blockLength = m_engine->dspBufferLength();
    // The rings get their size before the unit exists, so the mixing thread
    // never sees them change.
    if (blockLength != 0)
        m_rings.Resize(int(std::lround(2.0 * m_engine->dspBufferLengthTotal() / blockLength)));
    try {
        m_captureUnit = m_engine->dspCreate(&TtinyVisLoader::CaptureCallback, kCapturePriority, this);
    } catch (...) {
        m_captureUnit = 0;
    }
    m_captureExists = m_captureUnit != 0;
    // A plug-in started while the engine was closed gets its sound now.
    if (m_captureExists && m_active)
        m_engine->dspSetActive(m_captureUnit, true);
    return m_captureExists;
}

void TtinyVisLoader::FreeCaptureUnit()
{
    if (!m_captureExists)
        return;
    m_engine->dspSetActive(m_captureUnit, false);
    m_engine->dspFree(m_captureUnit);
    m_captureUnit = 0;
    m_captureExists = false;
}

void TtinyVisLoader::SetLibrary(const QString &path)
{
    Stop();
    m_libraryPath = path;
    if (!LoadLibrary())
        m_libraryPath.clear();
}

bool TtinyVisLoader::LoadLibrary()
{
    m_library = TdynamicLibrary(m_libraryPath);
    const auto getHeader = reinterpret_cast<TinyVisGetHeaderFunc>(m_library.Symbol(TINYVIS_HEADER_SYMBOL));
    const TinyVisHeader *header = getHeader ? getHeader() : nullptr;
    if (header && header->getModule) {
        m_getModule = header->getModule;
        const TinyVisModule *module = m_getModule(0);
        while (module && m_modules.size() < kMaxModules) {
            m_record = *module;
            m_modules.append(QString::fromUtf8(module->description ? module->description : ""));
            module = m_getModule(int32_t(m_modules.size()));
        }
        if (!module && !m_modules.isEmpty()) {
            m_description = QString::fromUtf8(header->description ? header->description : "");
            return true;
        }
    }
    UnloadLibrary();
    return false;
}

void TtinyVisLoader::UnloadLibrary()
{
    m_modules.clear();
    m_description.clear();
    m_getModule = nullptr;
    m_library.Unload();
}

void TtinyVisLoader::SelectModule(int index)
{
    if (index < 0 || index >= m_modules.size())
        return;
    Stop();
    if (!LoadLibrary()) {
        m_libraryPath.clear();
        return;
    }
    if (const TinyVisModule *module = m_getModule(int32_t(index))) {
        m_record = *module;
        m_moduleIndex = index;
    }
}

bool TtinyVisLoader::Start(TvisSurface *panel)
{
    m_active = false;
    if (!m_captureExists)
        CreateCaptureUnit();
    if (!m_library.IsLoaded() || !panel || !m_record.init)
        return false;
    m_panel = panel;
    m_startedSettingsPath = QFile::encodeName(m_settingsPath);
    m_record.ownerWindow = m_ownerForm ? m_ownerForm : panel->ParentHandle;
    m_record.displayWindow = panel->Pixels();
    m_record.height = panel->Height();
    m_record.width = panel->Width();
    m_record.settingsPath = m_startedSettingsPath.constData();
    if (m_record.init(&m_record) == 0) {
        m_active = true;
        if (m_captureExists)
            m_engine->dspSetActive(m_captureUnit, true);
    }
    return m_active;
}

int TtinyVisLoader::Render()
{
    if (!m_active || !m_captureExists)
        return 0;
    // The window may have resized the surface (and so moved its pixels) since
    // the last render.
    m_record.displayWindow = m_panel->Pixels();
    m_record.height = m_panel->Height();
    m_record.width = m_panel->Width();
    const std::array<float, AudioEngine::kSpectrumSize> spectrum = m_engine->spectrum();
    static_assert(AudioEngine::kSpectrumSize == TINYVIS_SPECTRUM_SIZE);
    static_assert(TvisCaptureRings::kBlockSize == TINYVIS_WAVE_SIZE);
    std::memcpy(m_record.spectrum, spectrum.data(), sizeof m_record.spectrum);
    std::memcpy(m_record.spectrum2, spectrum.data(), sizeof m_record.spectrum2);
    m_rings.CopyLast(m_record.waveLeft, m_record.waveRight);
    return m_record.render ? m_record.render(&m_record) : 0;
}

void TtinyVisLoader::Configure()
{
    if (m_library.IsLoaded() && m_active && m_record.configure)
        m_record.configure(&m_record);
}

void TtinyVisLoader::Stop()
{
    if (m_captureExists)
        m_engine->dspSetActive(m_captureUnit, false);
    if (m_active) {
        m_active = false;
        if (m_record.quit)
            m_record.quit(&m_record);
    }
    UnloadLibrary();
}

void *TtinyVisLoader::CaptureCallback(void *originalBuffer, void *newBuffer, int length, void *userData)
{
    if (userData)
        static_cast<TtinyVisLoader *>(userData)->m_rings.Capture(static_cast<const qint16 *>(originalBuffer), length);
    return newBuffer;
}
