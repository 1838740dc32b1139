#include "platform/qt/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace kv {

QtSoundPlayer::QtSoundPlayer(int longestClipMs)
    : effect_(std::make_unique<QSoundEffect>())
    , watchdog_(std::make_unique<QTimer>())
{
    watchdog_->setSingleShot(true);
    watchdog_->setInterval(longestClipMs);
    QObject::connect(watchdog_.get(), &QTimer::timeout, [this] { end(); });
    QObject::connect(effect_.get(), &QSoundEffect::playingChanged, [this] {
        if (!effect_->isPlaying()) {
            end();
        }
    });
    QObject::connect(effect_.get(), &QSoundEffect::statusChanged, [this] {
        if (effect_->status() == QSoundEffect::Error) {
            end();
        }
    });
}

QtSoundPlayer::~QtSoundPlayer()
{
    effect_->disconnect();
    watchdog_->disconnect();
}

bool QtSoundPlayer::play(const std::string& wavPath)
{
    const QString path = QString::fromLocal8Bit(wavPath.c_str());
    if (!QFileInfo(path).isFile()) {
        pending_ = true;
        end();
        return false;
    }
    effect_->stop();
    pending_ = true;
    const QUrl url = QUrl::fromLocalFile(path);
    if (effect_->source() != url) {
        effect_->setSource(url);
    }
    effect_->play();
    watchdog_->start();
    return true;
}

void QtSoundPlayer::stop()
{
    effect_->stop();
    end();
}

void QtSoundPlayer::end()
{
    if (!pending_) {
        return;
    }
    pending_ = false;
    watchdog_->stop();
    finished();
}

} // namespace kv
