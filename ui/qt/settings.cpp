#include "ui/qt/settings.h"

#include <cstdio>

namespace qrv::qt {

namespace {

// More games than anyone plays: a larger count is damage, not a record.
constexpr int kMostGames = 1000000;

QString RecordKey(int index, const char* what) {
    return QStringLiteral("records/%1/%2")
        .arg(QLatin1String(kOpponentChoices[index].Word), QLatin1String(what));
}

}  // namespace

// The organisation and application names of the program's own folder and file; set here rather
// than on the application, so that nothing else of Qt's changes its paths with them.
SettingsStore::SettingsStore()
    : settings_(QStringLiteral("quorvane"), QStringLiteral("quorvane")) {}

Remembered SettingsStore::Load() {
    Remembered remembered;
    switch (settings_.status()) {
        case QSettings::NoError:
            break;
        case QSettings::AccessError:
            Complain(QStringLiteral("cannot be read; the defaults are used"));
            return remembered;
        case QSettings::FormatError:
            Complain(QStringLiteral("is damaged; the defaults are used"));
            return remembered;
    }
    // Each damaged value keeps its default; the first one found is named.
    QString damaged;
    const auto note = [&damaged](const QString& key) {
        if (damaged.isEmpty()) {
            damaged = key;
        }
    };
    if (settings_.contains(QStringLiteral("opponent"))) {
        const QString word = settings_.value(QStringLiteral("opponent")).toString();
        bool known = false;
        for (int k = 0; k < kOpponentCount; ++k) {
            // The page keeps the opponent under the same words.
            if (word == QLatin1String(kOpponentChoices[k].Word)) {
                remembered.Opponent = kOpponentChoices[k].Kind;
                known = true;
            }
        }
        if (!known) {
            note(QStringLiteral("opponent"));
        }
    }
    if (settings_.contains(QStringLiteral("showThinking"))) {
        // Strictly the two words QSettings writes: toBool() would take any other text as true.
        const QString word = settings_.value(QStringLiteral("showThinking")).toString();
        if (word == QLatin1String("true") || word == QLatin1String("false")) {
            remembered.ShowThinking = word == QLatin1String("true");
        } else {
            note(QStringLiteral("showThinking"));
        }
    }
    for (int k = 0; k < kOpponentCount; ++k) {
        GameRecord& record = remembered.Records[k];
        for (auto [what, count] : {std::pair{"won", &record.Won}, std::pair{"drawn", &record.Drawn},
                                   std::pair{"lost", &record.Lost}}) {
            const QString key = RecordKey(k, what);
            if (!settings_.contains(key)) {
                continue;
            }
            bool ok = false;
            const int value = settings_.value(key).toString().toInt(&ok);
            if (ok && value >= 0 && value <= kMostGames) {
                *count = value;
            } else {
                note(key);
            }
        }
    }
    if (!damaged.isEmpty()) {
        Complain(QStringLiteral("has a damaged value for %1; its default is used").arg(damaged));
    }
    return remembered;
}

void SettingsStore::Save(const Remembered& remembered) {
    for (int k = 0; k < kOpponentCount; ++k) {
        if (kOpponentChoices[k].Kind == remembered.Opponent) {
            settings_.setValue(QStringLiteral("opponent"), QLatin1String(kOpponentChoices[k].Word));
        }
        const GameRecord& record = remembered.Records[k];
        settings_.setValue(RecordKey(k, "won"), record.Won);
        settings_.setValue(RecordKey(k, "drawn"), record.Drawn);
        settings_.setValue(RecordKey(k, "lost"), record.Lost);
    }
    settings_.setValue(QStringLiteral("showThinking"), remembered.ShowThinking);
    settings_.sync();
    if (settings_.status() != QSettings::NoError) {
        Complain(QStringLiteral("cannot be written; this run's choices and results are not kept"));
    }
}

void SettingsStore::Complain(const QString& why) {
    // One line in a run: a file that could not be read is seldom writable either, and every
    // game's end would repeat it.
    if (complained_) {
        return;
    }
    complained_ = true;
    std::fprintf(stderr, "quorvane: the settings file %s %s\n", qPrintable(settings_.fileName()),
                 qPrintable(why));
}

}  // namespace qrv::qt
