#include "engine/Diagnostics.hpp"
#include "game/CommandLine.hpp"
#include "game/Game.hpp"

int main(int argc, char** argv) {
    game::Game::tuneAllocator();
    game::GameOptions options;
    if (const auto status =
            game::CommandLine::parse(argc, argv, options, vorn::engine::Diagnostics::out(),
                                     vorn::engine::Diagnostics::err()))
        return *status;
    return game::Game::run(options);
}
