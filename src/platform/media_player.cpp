#include "platform/media_player.h"

#include "platform/sound_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPointer>
#include <QThread>

namespace quill {

QString ResolveSoundFile(const QString& name, const QString& fallbackDir) {
    if (name.isEmpty())
        return {};
    const QFileInfo direct(name);
    if (direct.isFile())
        return direct.absoluteFilePath();
    if (direct.isAbsolute() || fallbackDir.isEmpty())
        return {};
    const QFileInfo beside(QDir(fallbackDir).filePath(name));
    return beside.isFile() ? beside.absoluteFilePath() : QString();
}

const SoundModule& LoadSoundModule() {
    static const SoundModule module = [] {
        SoundModule loaded;
        // Beside the program in its build folder, <prefix>/lib/quillnote/plugins when installed.
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QString name = QString::fromLatin1(kSoundModuleName);
        QStringList errors;
        for (const QString& path :
             {QDir(exeDir).filePath(name),
              QDir(exeDir).filePath(QStringLiteral("../lib/quillnote/plugins/") + name)}) {
            QLibrary library(path);
            if (!library.load()) {
                errors << library.errorString();
                continue;
            }
            loaded.makeEngine =
                reinterpret_cast<decltype(loaded.makeEngine)>(library.resolve(kMakeSoundEngine));
            loaded.sndfileVersion =
                reinterpret_cast<decltype(loaded.sndfileVersion)>(library.resolve(kSndfileVersion));
            loaded.fluidsynthVersion = reinterpret_cast<decltype(loaded.fluidsynthVersion)>(
                library.resolve(kFluidsynthVersion));
            if (loaded.makeEngine && loaded.sndfileVersion && loaded.fluidsynthVersion)
                return loaded; // stays loaded: QLibrary does not unload it
            loaded = {};
            errors << library.errorString();
        }
        loaded.error = errors.join(QStringLiteral("; "));
        qWarning("Quillnote: no sound: %s", qPrintable(loaded.error));
        return loaded;
    }();
    return module;
}

QString SndfileVersion() {
    const SoundModule& module = LoadSoundModule();
    return module.sndfileVersion ? QString::fromLatin1(module.sndfileVersion()) : QString();
}

QString FluidsynthVersion() {
    const SoundModule& module = LoadSoundModule();
    return module.fluidsynthVersion ? QString::fromLatin1(module.fluidsynthVersion()) : QString();
}

// Lives on the player's thread and holds the engine, made there on the first call.
class PlaybackWorker : public QObject {
public:
    explicit PlaybackWorker(TMediaPlayer* player) : player_(player) {}
    ~PlaybackWorker() override { engine_.reset(); }

    void Play(quint64 request, const QString& path) {
        if (SoundEngine* engine = Engine())
            return engine->Play(request, path);
        // No module: the file is not at fault, it is only not heard.
        const bool found = QFileInfo(path).isFile();
        Tell([request, found](TMediaPlayer* p) {
            Q_EMIT p->Opened(request, found ? TMediaPlayer::OpenError::None
                                            : TMediaPlayer::OpenError::NotFound);
        });
        Tell([](TMediaPlayer* p) { Q_EMIT p->PlaybackFinished(false); });
    }
    void Stop() {
        if (engine_)
            engine_->Stop();
    }

private:
    SoundEngine* Engine() {
        if (!engine_ && !tried_) {
            tried_ = true;
            const SoundModule& module = LoadSoundModule();
            if (module.makeEngine) {
                SoundEngine::Events events;
                events.opened = [this](quint64 request, int error) {
                    Tell([request, error](TMediaPlayer* p) {
                        Q_EMIT p->Opened(request, static_cast<TMediaPlayer::OpenError>(error));
                    });
                };
                events.started = [this] {
                    Tell([](TMediaPlayer* p) { Q_EMIT p->PlaybackStarted(); });
                };
                events.finished = [this](bool heard) {
                    Tell([heard](TMediaPlayer* p) { Q_EMIT p->PlaybackFinished(heard); });
                };
                engine_.reset(module.makeEngine(events));
            }
        }
        return engine_.get();
    }

    // The player's signals go out on its own thread, in the order they happen here.
    template <typename Signal> void Tell(Signal signal) {
        QMetaObject::invokeMethod(
            player_, [player = player_, signal] { signal(player); }, Qt::QueuedConnection);
    }

    TMediaPlayer* player_;
    std::unique_ptr<SoundEngine> engine_;
    bool tried_ = false;
};

TMediaPlayer::TMediaPlayer(QObject* parent)
    : QObject(parent), thread_(new QThread(this)), worker_(new PlaybackWorker(this)) {
    thread_->setObjectName(QStringLiteral("quillnote-sound"));
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    // An idle thread costs next to nothing; the module and the sound libraries
    // come with the first sound.
    thread_->start();
}

TMediaPlayer::~TMediaPlayer() {
    thread_->quit();
    thread_->wait();
}

quint64 TMediaPlayer::Play(const QString& fileName) {
    const quint64 request = ++lastRequest_;
    QMetaObject::invokeMethod(
        worker_, [w = worker_, request, fileName] { w->Play(request, fileName); },
        Qt::QueuedConnection);
    return request;
}

void TMediaPlayer::Stop() {
    QMetaObject::invokeMethod(
        worker_, [w = worker_] { w->Stop(); }, Qt::QueuedConnection);
}

} // namespace quill
