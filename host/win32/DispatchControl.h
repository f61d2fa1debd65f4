// The movie control as FlashControl: each call goes through the player's
// IDispatch access by member name, with values converted between VARIANTs
// and ControlValues.
#pragma once

#include "host/HostPlayer.h"

namespace lumbra {
class PlayerServices;
}

namespace lumbra::host {

class DispatchControl final : public FlashControl {
public:
    explicit DispatchControl(PlayerServices& services) : services_(services) {}

    std::optional<ControlValue> get(std::u16string_view property) override;
    // Setting "Movie" loads the movie as the player does (size, onMovieLoaded).
    bool put(std::u16string_view property, const ControlValue& value) override;
    std::optional<ControlValue> call(std::u16string_view method, std::span<const ControlValue> arguments) override;

private:
    PlayerServices& services_;
};

} // namespace lumbra::host
