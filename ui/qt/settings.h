// What the program remembers between runs: the chosen opponent, whether the network's thinking
// is shown, and the person's record against each opponent.
#pragma once

#include <QSettings>
#include <QString>

#include "game/thinking.h"

namespace qrv::qt {

struct Remembered {
    int Opponent = kNetworkOpponent;
    bool ShowThinking = false;
    GameRecords Records{};
};

// The settings file in QSettings's place for the program in the user's configuration folder,
// normally ~/.config/quorvane/quorvane.conf. A file that cannot be read or written, or a value
// that is damaged or out of range, gives the defaults and one line on standard error; the game
// goes on either way.
class SettingsStore {
public:
    SettingsStore();

    Remembered Load();
    void Save(const Remembered& remembered);

private:
    void Complain(const QString& why);

    QSettings settings_;
    bool complained_ = false;
};

}  // namespace qrv::qt
