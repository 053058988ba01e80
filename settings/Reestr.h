// The settings store: the starting conditions and the last map path, kept by
// QSettings (the registry key on Windows, the user's configuration file
// elsewhere). One object, held by the start menu for the whole run.
#pragma once

#include <cstdint>
#include <memory>

#include <QString>

#include "core/Messages.h"

class QSettings;

class TReestr {
public:
    TReestr();
    ~TReestr();

    // Opens the key; on the first run creates it and writes the fourteen
    // values in order; when even that fails shows "Не могу создать ключ в реестре.".
    void OpenOrCreate(Messages& msgs);
    bool IsOpen() const { return settings_ != nullptr; }

    // A missing value or one of the wrong type fails: an error box names it
    // and the caller skips the rest of its handler.
    bool ReadInteger(const QString& name, int32_t& value, Messages& msgs);
    bool ReadString(const QString& name, QString& value, Messages& msgs);
    bool WriteInteger(const QString& name, int32_t value, Messages& msgs);
    bool WriteString(const QString& name, const QString& value, Messages& msgs);

private:
    std::unique_ptr<QSettings> settings_;
};
