#include "shell/VSoundPlayThread.h"

#include <QDebug>
#include <QSoundEffect>
#include <QUrl>

namespace {
// Lives in the sound thread. Each player is made there, as a child of the worker,
// and deleted there once its sound ended or failed: a sound object made on one
// thread and used from another warns and is never freed.
class SoundWorker : public QObject {
 public:
  explicit SoundWorker(VSoundPlayThread* owner) : m_owner(owner) {}

  void play(const QString& source) {
    auto* effect = new QSoundEffect(this);
    const auto done = [this, effect, source] {
      if (effect->property("done").toBool()) return;
      effect->setProperty("done", true);
      effect->deleteLater();
      emit m_owner->finished(source);
    };
    connect(effect, &QSoundEffect::playingChanged, this, [effect, done] {
      if (!effect->isPlaying()) done();
    });
    connect(effect, &QSoundEffect::statusChanged, this, [effect, done] {
      if (effect->status() == QSoundEffect::Error) {
        qWarning() << "cannot play" << effect->source();
        done();
      }
    });
    effect->setSource(
        QUrl(source.startsWith(QLatin1Char(':')) ? QStringLiteral("qrc") + source : source));
    effect->play();
  }

 private:
  VSoundPlayThread* m_owner;
};
}  // namespace

VSoundPlayThread::VSoundPlayThread(QObject* parent) : QObject(parent) {
  auto* worker = new SoundWorker(this);
  worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
  connect(this, &VSoundPlayThread::play, worker,
          [worker](const QString& source) { worker->play(source); });
  m_thread.start(QThread::InheritPriority);
}

VSoundPlayThread::~VSoundPlayThread() {
  m_thread.quit();
  m_thread.wait();
}
