#include "import/wab_library.h"

#include "platform/registry_hive.h"

namespace {

// The value is read into a buffer of MAX_PATH + 1 bytes.
constexpr size_t MaxLibraryPathBytes = 260;

struct LibraryState {
    WabLibraryLoader Loader;
    std::unique_ptr<WabLibrary> Library;
    bool Attempted = false;
};

LibraryState& State() {
    static LibraryState state;
    return state;
}

} // namespace

std::string WabLibraryPath(const RegistryHive& localMachine) {
    const RegistryKey* key = localMachine.OpenKey("Software\\Microsoft\\WAB\\DLLPath");
    if (!key)
        return {};
    std::string path = key->ReadString("").value_or("");
    return path.size() > MaxLibraryPathBytes ? std::string() : path;
}

void LoadWabLibrary() {
    auto& state = State();
    state.Library.reset();
    state.Attempted = true;
    std::string path = WabLibraryPath(LocalMachineHive());
    // Without an installed loader there is nothing that could load a Windows
    // library into this process.
    if (path.empty() || !state.Loader)
        return;
    try {
        state.Library = state.Loader(path);
    } catch (const std::exception&) {
        state.Library.reset();
    }
}

void UnloadWabLibrary() {
    State().Library.reset();
    State().Attempted = false;
}

WabLibrary* LoadedWabLibrary() {
    if (!State().Attempted)
        LoadWabLibrary();
    return State().Library.get();
}

void SetWabLibraryLoader(WabLibraryLoader loader) {
    State().Loader = std::move(loader);
}
