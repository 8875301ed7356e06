#include "platform/linux/LinuxSound.h"

#include "platform/Logging.h"

#include <QFile>
#include <QFileInfo>
#include <canberra.h>
#include <condition_variable>
#include <dlfcn.h>
#include <memory>
#include <mutex>

namespace platform::linuxp {

namespace {

// What the player's thread reports back. Shared with the callback, which may run after
// play() has given up waiting.
struct Finished {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    int error = CA_SUCCESS;
};

void onFinished(ca_context*, std::uint32_t, int error, void* userdata) {
    std::unique_ptr<std::shared_ptr<Finished>> box(
        static_cast<std::shared_ptr<Finished>*>(userdata));
    Finished& f = **box;
    {
        std::lock_guard lock(f.mutex);
        f.done = true;
        f.error = error;
    }
    f.cv.notify_all();
}

// Without a sound card, ALSA (which libcanberra falls back to when no sound server answers)
// writes a dozen lines to the terminal at every sound. Its messages are silenced once; the
// library is looked up at run time, so nothing of ALSA is needed to build.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void quietenAlsa() {
    static const bool done = [] {
        void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!alsa)
            return false;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(::dlsym(alsa, "snd_lib_error_set_handler")))
            set(ignoreAlsaMessage);
        return true; // the library stays loaded, with its handler
    }();
    (void)done;
}

} // namespace

LinuxSound::LinuxSound(std::chrono::milliseconds longest) : m_longest(longest) {
    quietenAlsa();
}

LinuxSound::~LinuxSound() {
    if (m_context)
        ca_context_destroy(m_context);
}

ca_context* LinuxSound::context() {
    if (m_context)
        return m_context;
    ca_context* c = nullptr;
    if (ca_context_create(&c) != CA_SUCCESS)
        return nullptr;
    ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Tavrel", CA_PROP_APPLICATION_ID, "tavrel",
                            nullptr);
    if (const int opened = ca_context_open(c); opened != CA_SUCCESS) {
        qCDebug(platform::lcSound, "no sound device: %s", ca_strerror(opened));
        // No sound server or device now; one may come later, so nothing is remembered.
        ca_context_destroy(c);
        return nullptr;
    }
    m_context = c;
    return c;
}

bool LinuxSound::playProperties(const char* key, const QByteArray& value) {
    ca_context* c = context();
    if (!c)
        return false;
    ca_proplist* props = nullptr;
    if (ca_proplist_create(&props) != CA_SUCCESS)
        return false;
    ca_proplist_sets(props, key, value.constData());
    ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    const std::uint32_t id = m_nextId++;
    auto finished = std::make_shared<Finished>();
    auto* box = new std::shared_ptr<Finished>(finished);
    const int started = ca_context_play_full(c, id, props, onFinished, box);
    ca_proplist_destroy(props);
    if (started != CA_SUCCESS) {
        qCDebug(platform::lcSound, "%s not played: %s", value.constData(), ca_strerror(started));
        delete box; // the callback runs only for a sound that started
        if (started == CA_ERROR_DISCONNECTED || started == CA_ERROR_STATE) {
            ca_context_destroy(m_context);
            m_context = nullptr;
        }
        return false;
    }
    std::unique_lock lock(finished->mutex);
    if (!finished->cv.wait_for(lock, m_longest, [&] { return finished->done; })) {
        lock.unlock();
        ca_context_cancel(c, id);
        return true;
    }
    return finished->error == CA_SUCCESS;
}

bool LinuxSound::play(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return false;
    return playProperties(CA_PROP_MEDIA_FILENAME, QFile::encodeName(info.absoluteFilePath()));
}

void LinuxSound::playDefault() {
    playProperties(CA_PROP_EVENT_ID, QByteArrayLiteral("bell"));
}

} // namespace platform::linuxp
