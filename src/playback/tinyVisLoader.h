#pragma once

#include "dynamicLibrary.h"
#include "playback/audioEngine.h"
#include "tinyvis.h"
#include "visCapture.h"
#include "visSurface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The host of the visualisation plug-in (plugins/tinyvis.so): loads the
// library, lists its modules, runs the selected one on a TvisSurface and feeds
// it the engine's spectrum and the waveform captured from the mix.
//
// Threads: everything here, and every call into the plug-in, runs on the GUI
// thread, except CaptureCallback(), which the audio engine calls on its mixing
// thread and which touches nothing but the capture rings (see
// TvisCaptureRings for how the two sides share them). The engine must outlive
// the loader.
class TtinyVisLoader {
public:
    static constexpr int kCapturePriority = 901;
    // A library listing more modules than this is taken as broken.
    static constexpr int kMaxModules = 256;

    // ownerForm: opaque handle of the window owning the loader, handed to the
    // module as its owner window; null to use the display surface's parent.
    explicit TtinyVisLoader(AudioEngine *engine, void *ownerForm = nullptr);
    // Stops (unloading the library) and frees the capture unit, so the engine
    // never calls back into a loader that is gone.
    ~TtinyVisLoader();
    TtinyVisLoader(const TtinyVisLoader &) = delete;
    TtinyVisLoader &operator=(const TtinyVisLoader &) = delete;

    // A folder the plug-in may keep its settings in; handed over at Start.
    QString SettingsPath() const { return m_settingsPath; }
    void SetSettingsPath(const QString &path) { m_settingsPath = path; }

    // Creates the capture unit (inactive unless the plug-in runs already) and
    // sizes the rings; false when the unit already exists or the engine
    // refused.
    bool CreateCaptureUnit();
    // Switches the capture unit off and frees it.
    void FreeCaptureUnit();
    bool CaptureUnitExists() const { return m_captureExists; }

    // Stops, then loads the library at path and lists its modules. Without a
    // header export or modules the loader ends up holding no library.
    void SetLibrary(const QString &path);
    QString Library() const { return m_libraryPath; }
    bool LibraryLoaded() const { return m_library.IsLoaded(); }
    // The header's description text.
    QString Description() const { return m_description; }
    // Module descriptions in enumeration order.
    const QStringList &Modules() const { return m_modules; }
    // The selected module; -1 before any selection.
    int ModuleIndex() const { return m_moduleIndex; }

    // Reloads the library and takes module index's record; ignored unless
    // 0 <= index < Modules().size().
    void SelectModule(int index);
    // Hands the module its surface and settings and initialises it; true when
    // it is running (then the capture unit is switched on).
    bool Start(TvisSurface *panel);
    // One refresh: the spectrum and the last captured block go to the module,
    // which draws into the surface. Its result, or 0 when nothing runs.
    int Render();
    void Configure();
    // Switches capture off, quits a running module and unloads the library.
    void Stop();
    bool Active() const { return m_active; }

    // The host's copy of the module record (what the module is handed).
    const TinyVisModule &Record() const { return m_record; }
    const TvisCaptureRings &Rings() const { return m_rings; }

    // The capture unit's callback: runs on the engine's mixing thread with the
    // unprocessed mix (interleaved 16-bit stereo, length frames) and the
    // buffer passed down the chain, which it returns unchanged. userData is
    // the loader.
    static void *CaptureCallback(void *originalBuffer, void *newBuffer, int length, void *userData);

private:
    bool LoadLibrary();
    void UnloadLibrary();

    AudioEngine *m_engine;
    void *m_ownerForm;
    QString m_settingsPath;
    // What the running module's settingsPath points at; fixed at Start.
    QByteArray m_startedSettingsPath;

    QString m_libraryPath;
    TdynamicLibrary m_library;
    QString m_description;
    TinyVisEnumFunc m_getModule = nullptr;
    QStringList m_modules;
    int m_moduleIndex = -1;
    TinyVisModule m_record {};
    bool m_active = false;
    TvisSurface *m_panel = nullptr;

    EngineDsp m_captureUnit = 0;
    bool m_captureExists = false;
    // Shared with the mixing thread through CaptureCallback.
    TvisCaptureRings m_rings;
};
