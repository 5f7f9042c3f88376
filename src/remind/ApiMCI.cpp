#include "remind/ApiMCI.h"

#include <QFileInfo>
#include <QSoundEffect>

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::PlaySoundFile(const QString& path)
{
    // A fresh effect for each sound: the old one stops, and a file changed since is read anew.
    delete m_effect;
    m_effect = nullptr;
    // Only a regular file: opening a FIFO would wait for a writer.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    m_effect = new QSoundEffect(this);
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play(); // starts once the file is loaded; an error stays silent
}

QUrl SoundPlayer::playing() const
{
    return m_effect ? m_effect->source() : QUrl();
}
