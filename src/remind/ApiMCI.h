#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QSoundEffect;

// Plays reminder sounds (WAV files). Never blocks and never reports: a missing or unplayable
// file, or a machine without audio, is silence. A new sound stops the one still playing.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    void PlaySoundFile(const QString& path);

    // The file of the sound last started, empty before any or when it was no file.
    QUrl playing() const;

private:
    QSoundEffect* m_effect = nullptr;
};
