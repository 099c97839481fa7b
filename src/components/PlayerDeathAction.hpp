#pragma once

#include "components/Action.hpp"
#include "components/SoundCue.hpp"

namespace components {

// The ninja's death: tags him "dead" (which stops his movement and punches), plays the death
// sound and brings him back at his spawn point two seconds later. Does nothing while he is dead
// already, so the health's every-frame invocation starts it only once. Answers "deathAction".
class PlayerDeathAction : public vorn::components::Action {
public:
    inline static const std::string componentName = "deathAction";
    PlayerDeathAction();
    void perform() override;

private:
    SoundCue deathSound{"ninjaDeath"};
};

} // namespace components
